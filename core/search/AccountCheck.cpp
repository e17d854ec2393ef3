#include "core/search/AccountCheck.h"

namespace rm {
namespace {

// The account a look-up gave; its groups are asked for by the name it
// goes by on that computer.
void takeAccount(NetworkManagement& network, const ServerName& server, NetStatus status, const UserAccount& user,
                 ComputerCheck& check)
{
    if (status != NetStatus::Success) {
        if (status != NetStatus::UserNotFound && !check.failed())
            check.failure = status;
        return;
    }
    AccountInfo& found = check.accounts.emplace_back();
    found.user = user.name;
    found.enabled = user.enabled;
    found.passwordAgeSeconds = static_cast<std::int32_t>(user.passwordAgeSeconds);
    found.rid = user.rid;
    if (network.userLocalGroups(server, found.user, found.groups) != NetStatus::Success)
        found.groups.clear();
}

void lookUpAccount(NetworkManagement& network, const ServerName& server, const std::string& name,
                   ComputerCheck& check)
{
    UserAccount user;
    const NetStatus status = network.getUser(server, name, user);
    // The name as asked, not as the computer spells it.
    user.name = name;
    takeAccount(network, server, status, user, check);
}

} // namespace

ComputerCheck checkComputer(NetworkManagement& network, const ServerName& server, const std::string& account,
                            AccountKind kind, const CancelToken& cancel)
{
    ComputerCheck check;
    const auto session = network.openSession(server, &cancel);
    if (kind == AccountKind::User) {
        lookUpAccount(network, server, account, check);
        return check;
    }
    if (kind == AccountKind::BuiltinAdministrator) {
        UserAccount user;
        const NetStatus status = network.getBuiltinAdministrator(server, user);
        takeAccount(network, server, status, user, check);
        return check;
    }
    std::vector<std::string> members;
    if (network.localGroupMembers(server, account, members) != NetStatus::Success)
        members.clear(); // a group that cannot be read has no members
    for (const std::string& member : members) {
        // Only the computer's own accounts count; a member without a domain part never does.
        const std::size_t slash = member.find('\\');
        if (slash != std::string::npos && server.isComputer(std::string_view(member).substr(0, slash)))
            lookUpAccount(network, server, member.substr(slash + 1), check);
    }
    return check;
}

} // namespace rm
