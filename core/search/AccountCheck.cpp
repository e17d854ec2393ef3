#include "core/search/AccountCheck.h"

#include "core/ports/Text.h"

namespace rm {
namespace {

void lookUpAccount(NetworkManagement& network, const std::string& server, const std::string& name,
                   AccountCheckResult& r)
{
    USER_INFO_1 info;
    const NetStatus status = network.NetUserGetInfo(server, name, info);
    if (status != NERR_Success) {
        if (status != NERR_UserNotFound && !r.failed) {
            r.failed = true;
            r.failure = status;
        }
        r.notMatched = true;
        return;
    }
    r.notMatched = false;
    r.enabled = (info.usri1_flags & UF_ACCOUNTDISABLE) ? "No" : "Yes";
    r.userName = name;
    r.localGroups.clear();
    std::vector<LOCALGROUP_USERS_INFO_0> groups;
    if (network.NetUserGetLocalGroups(server, name, LG_INCLUDE_INDIRECT, groups) == NERR_Success) {
        for (std::size_t i = 0; i < groups.size(); ++i)
            r.localGroups += (i ? ", " : "") + groups[i].lgrui0_name;
    }
    r.passwordAge = static_cast<std::int32_t>(info.usri1_password_age);
}

} // namespace

void checkComputer(NetworkManagement& network, const std::string& server, const std::string& accountName,
                   bool groupMode, const std::atomic<bool>& cancel, AccountCheckResult& r)
{
    const auto hold = network.hold(server, &cancel);
    r.notMatched = true;
    if (!groupMode) {
        lookUpAccount(network, server, accountName, r);
        return;
    }
    std::vector<LOCALGROUP_MEMBERS_INFO_3> members;
    network.NetLocalGroupGetMembers(server, accountName, members); // a failure reads no members
    for (const auto& m : members) {
        const std::string& text = m.lgrmi3_domainandname;
        const std::size_t slash = text.find('\\');
        const std::string domain = slash == std::string::npos ? std::string() : text.substr(0, slash);
        // Only the computer's own accounts count; a member without a domain part never does.
        if (slash == std::string::npos || !equalsIgnoringCase("\\\\" + domain, server))
            continue;
        const std::string name = text.substr(slash + 1);
        lookUpAccount(network, server, name, r);
        if (!r.notMatched) {
            r.memberEnabled.push_back(r.enabled);
            r.memberNames.push_back(r.userName);
            r.memberGroups.push_back(r.localGroups);
            r.memberPasswordAges.push_back(r.passwordAge);
        }
    }
    r.notMatched = r.memberEnabled.empty();
}

} // namespace rm
