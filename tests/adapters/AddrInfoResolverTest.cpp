#include "adapters/linux/AddrInfoResolver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace rm {
namespace {

TEST(AddrInfoResolverTest, WholeNamesOnly)
{
    AddrInfoResolver resolver;
    EXPECT_EQ(resolver.resolve("localhost"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(resolver.resolve("127.0.0.9"), htonl(0x7F000009));
    EXPECT_EQ(resolver.resolve(""), 0u);
    EXPECT_EQ(resolver.resolve(std::string("localhost\0.example", 18)), 0u);
}

} // namespace
} // namespace rm
