// The passwords the program hands the real network helper, without any
// network: what the helper refuses to act with, and that no copy of a
// password is left in freed memory on the way there.
#include "adapters/netapi/HelperProcess.h"
#include "adapters/netapi/NetApiClient.h"
#include "helper/HelperProtocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

// Every block freed is searched for the watched texts while a test asks for
// it. Not under a sanitizer, which brings its own allocator.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RM_WATCH_FREES 0
#else
#define RM_WATCH_FREES 1
#endif

namespace {

constexpr std::size_t MaxWatched = 2;
char watched[MaxWatched][64];
std::size_t watchedSize[MaxWatched];
std::atomic<bool> watching{false};
std::atomic<int> freedHolding{0};

void inspect(void* block)
{
    if (!block || !watching.load(std::memory_order_acquire))
        return;
    const std::size_t size = ::malloc_usable_size(block);
    for (std::size_t i = 0; i < MaxWatched; ++i)
        if (watchedSize[i] && ::memmem(block, size, watched[i], watchedSize[i]))
            freedHolding.fetch_add(1);
}

} // namespace

#if RM_WATCH_FREES
void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    inspect(p);
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    operator delete(p);
}
#endif

namespace rm {
namespace {

using namespace std::chrono_literals;

// A name no computer may have: the helper answers for it without the network.
const ServerName Nowhere("bad*name");

std::uint32_t credentialsStatus(HelperProcess& helper, const std::string& user, const std::string& password)
{
    WireWriter w;
    w.number(static_cast<std::uint32_t>(HelperOp::SetCredentials)).text(user).text("LAB").text(password).number(5).number(0);
    const auto reply = helper.call(w.bytes(), 10s);
    std::uint32_t status = 0xFFFFFFFF;
    if (reply)
        WireReader(*reply).number(status);
    return status;
}

// A password is sent whole or not at all: a NUL in it would end it early
// as a C string, and a named account without one would be acted for by
// whatever Kerberos ticket there is. The adapter fails the calls then.
TEST(NetApiHelper, PasswordsItCannotUseWholeAreRefused)
{
    auto helper = HelperProcess::start(NETAPI_HELPER);
    ASSERT_TRUE(helper);
    EXPECT_EQ(credentialsStatus(*helper, "operator", std::string("Pass\0word", 9)), 87u);
    EXPECT_EQ(credentialsStatus(*helper, "operator", ""), 87u);
    EXPECT_EQ(credentialsStatus(*helper, "operator", "Password"), 0u);
    EXPECT_EQ(credentialsStatus(*helper, "", ""), 0u); // the ticket, asked for

    WireWriter w;
    w.number(static_cast<std::uint32_t>(HelperOp::UserSetPassword)).text(Nowhere.text()).text("Administrator");
    w.text(std::string("New\0password", 12));
    const auto reply = helper->call(w.bytes(), 10s);
    std::uint32_t status = 0;
    ASSERT_TRUE(reply && WireReader(*reply).number(status));
    EXPECT_EQ(status, 87u);

    NetApiClient client({NETAPI_HELPER, 1, 1, 10s, 0ms});
    UserAccount account;
    client.setCredentials("LAB\\operator", Secret(std::string("Pass\0word", 9)));
    EXPECT_EQ(client.getUser(Nowhere, "Administrator", account), NetStatus::InvalidParameter);
    EXPECT_EQ(client.setPassword(Nowhere, "Administrator", Secret(std::string("Fresh-one"))),
              NetStatus::InvalidParameter);
    client.setCredentials("LAB\\operator", Secret(std::string("Password")));
    EXPECT_EQ(client.getUser(Nowhere, "Administrator", account), NetStatus::InvalidComputer);
    // The helper serves the look-up by identifier too, and answers for the server.
    EXPECT_EQ(client.getBuiltinAdministrator(Nowhere, account), NetStatus::InvalidComputer);
}

// The logon frame and a new password's frame are built, sent and dropped
// without a freed block still holding either password.
TEST(NetApiHelper, NoFreedMemoryHoldsAPassword)
{
    if (!RM_WATCH_FREES)
        GTEST_SKIP() << "a sanitizer's allocator is in use";
    const std::string logon = "Logon-Password-0123456789-abcdefghij";
    const std::string fresh = "New-Password-9876543210-zyxwvutsrq";
    std::memcpy(watched[0], logon.data(), watchedSize[0] = logon.size());
    std::memcpy(watched[1], fresh.data(), watchedSize[1] = fresh.size());
    Secret logonSecret = Secret::copyOf(logon);
    Secret freshSecret = Secret::copyOf(fresh);
    NetApiClient client({NETAPI_HELPER, 1, 1, 10s, 0ms});
    UserAccount account;

    watching = true;
    client.setCredentials("LAB\\operator", logonSecret);
    const NetStatus looked = client.getUser(Nowhere, "Administrator", account);
    const NetStatus set = client.setPassword(Nowhere, "Administrator", freshSecret);
    watching = false;

    EXPECT_EQ(looked, NetStatus::InvalidComputer); // the frames did reach the helper
    EXPECT_EQ(set, NetStatus::InvalidComputer);
    EXPECT_EQ(freedHolding.load(), 0);
    watchedSize[0] = watchedSize[1] = 0;
}

} // namespace
} // namespace rm
