// Who the program acts as, without a network: a ticket cache of the test's
// own, made with the Kerberos library. Each case runs in a child process, as
// the identity turns core files and tracing off for good.
#include "adapters/linux/NetworkIdentity.h"
#include "support/FakeNetwork.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <krb5.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm {
namespace {

class RecordedCredentials : public NetworkCredentials {
public:
    void setCredentials(const std::string& account, const Secret& password) override
    {
        ++calls;
        this->account = account;
        this->password = password.reveal();
    }
    int calls = 0;
    std::string account, password;
};

// A cache holding a ticket-granting ticket good for an hour; the default
// cache from now on.
bool useTicketCache(const std::filesystem::path& file)
{
    ::setenv("KRB5CCNAME", ("FILE:" + file.string()).c_str(), 1);
    krb5_context context = nullptr;
    if (krb5_init_context(&context) != 0)
        return false;
    krb5_ccache cache = nullptr;
    krb5_creds creds{};
    bool ok = krb5_cc_default(context, &cache) == 0
              && krb5_parse_name(context, "operator@LAB.EXAMPLE", &creds.client) == 0
              && krb5_parse_name(context, "krbtgt/LAB.EXAMPLE@LAB.EXAMPLE", &creds.server) == 0
              && krb5_cc_initialize(context, cache, creds.client) == 0;
    const auto now = static_cast<krb5_timestamp>(std::time(nullptr));
    creds.times = {now, now, now + 3600, now + 3600};
    ok = ok && krb5_cc_store_cred(context, cache, &creds) == 0;
    krb5_free_cred_contents(context, &creds);
    if (cache)
        krb5_cc_close(context, cache);
    krb5_free_context(context);
    return ok;
}

// `body`'s verdict from a child process: 0 when all held, else the first
// check that failed.
int inChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

bool protectedFromOthers()
{
    rlimit core{};
    return ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 0 && ::getrlimit(RLIMIT_CORE, &core) == 0 && core.rlim_cur == 0
           && core.rlim_max == 0;
}

class NetworkIdentityUnitTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeNetwork network;
    RecordedCredentials credentials;
    int asked = 0;

    NetworkIdentity::AskCredentials answering(const std::string& account, const std::string& password)
    {
        return [this, account, password](std::string& a, Secret& p) {
            ++asked;
            a = account;
            p = Secret::copyOf(password);
            return true;
        };
    }
};

// A ticket used without asking still means keys in memory, and a password
// may follow: the process is kept from core files and tracing either way.
TEST_F(NetworkIdentityUnitTest, SecretsAreProtectedWithATicketToo)
{
    EXPECT_EQ(inChild([&] {
                  if (!useTicketCache(dir / "cache"))
                      return 1;
                  NetworkIdentity identity(network, credentials, answering("LAB\\operator", "Password"));
                  if (!identity.ensureCredentials() || asked != 0 || credentials.calls != 1
                      || !credentials.account.empty())
                      return 2;
                  return protectedFromOthers() ? 0 : 3;
              }),
              0);
}

// An account named with an empty password is refused, never left to the
// ticket to act for; given its password, it is taken.
TEST_F(NetworkIdentityUnitTest, ANamedAccountNeedsItsPassword)
{
    EXPECT_EQ(inChild([&] {
                  ::setenv("KRB5CCNAME", ("FILE:" + (dir / "none").string()).c_str(), 1);
                  NetworkIdentity identity(network, credentials, answering("LAB\\operator", ""));
                  if (identity.ensureCredentials() || asked != 1 || credentials.calls != 0)
                      return 1;
                  if (!protectedFromOthers())
                      return 2;
                  if (!useTicketCache(dir / "cache"))
                      return 3;
                  NetworkIdentity named(network, credentials, answering("LAB\\operator", ""), true);
                  if (named.ensureCredentials() || asked != 2 || credentials.calls != 0)
                      return 4;
                  NetworkIdentity given(network, credentials, answering("LAB\\operator", "Password"), true);
                  if (!given.ensureCredentials() || credentials.account != "LAB\\operator"
                      || credentials.password != "Password")
                      return 5;
                  return 0;
              }),
              0);
}

} // namespace
} // namespace rm
