#include "cli/CliPlatform.h"

#include "cli/Terminal.h"
#include "gui/resources/StringTable.h"

#include <unistd.h>

namespace rm {
namespace {

std::unique_ptr<RegistryFileStore> openProfile()
{
    const std::string title = loadString(IdsApplicationTitle);
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultLocation("Korvane", title),
                                               "HKEY_CURRENT_USER\\Software\\Korvane\\" + title);
}

std::string helperPath()
{
    // Found by absolute path only, never through the current folder.
    const std::string helper = NetApiClient::defaultHelperPath();
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0)
        throw UsageError("the network helper " + (helper.empty() ? std::string("rostermill-netapi") : helper)
                         + " is missing or cannot be run");
    return helper;
}

NetworkIdentity::AskCredentials asker(const LogonArgs& logon)
{
    return [logon](std::string& account, std::string& password) {
        if (logon.account.empty())
            return false;
        account = logon.account;
        if (logon.passwordFd >= 0) {
            password = readSecretLine(logon.passwordFd, "the password of " + logon.account);
            return true;
        }
        auto typed = askTerminal("Password for " + logon.account + ": ", true);
        if (!typed)
            throw UsageError("no terminal to ask the password of " + logon.account + " on: give --as-password-fd N");
        password.swap(*typed);
        return true;
    };
}

} // namespace

CliPlatform::CliPlatform(const LogonArgs& logon)
    : profile(openProfile()), settings(*profile), network({helperPath()}), credentials{&network, &directory},
      identity(network, credentials, asker(logon), !logon.account.empty())
{
}

void CliPlatform::requireCredentials()
{
    if (!identity.ensureCredentials())
        throw UsageError("no Kerberos ticket and no account to act as: run kinit, or give --as DOMAIN\\user "
                         "(password from the terminal or --as-password-fd N)");
}

} // namespace rm
