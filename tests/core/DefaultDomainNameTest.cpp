#include "core/search/DefaultDomainName.h"
#include "support/Doubles.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

TEST(DefaultDomainName, PrefersTheDnsForm)
{
    FakeIdentity id;
    id.known = true;
    id.domain = "LAB";
    id.dns = "lab.example";
    EXPECT_EQ(defaultDomainName(id), "lab.example");
}

TEST(DefaultDomainName, FallsBackToTheUsersDomainAsReturned)
{
    FakeIdentity id;
    id.known = true;
    id.domain = "LAB";
    EXPECT_EQ(defaultDomainName(id), "LAB");
}

TEST(DefaultDomainName, EmptyWhenTheAccountLookupFails)
{
    FakeIdentity id;
    id.domain = "LAB";
    id.dns = "lab.example";
    EXPECT_EQ(defaultDomainName(id), "");
}

} // namespace
} // namespace rm
