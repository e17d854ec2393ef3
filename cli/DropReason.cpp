#include "cli/DropReason.h"

#include "core/batch/NetErrorText.h"
#include "core/ports/NetworkManagement.h"
#include "core/ports/Text.h"

namespace rm {

std::string droppedByLiveness(AliveMode mode)
{
    switch (mode) {
    case AliveMode::Smb:
        return "offline (no connection on port 445)";
    case AliveMode::Both:
        return "offline by ping and no connection on port 445";
    case AliveMode::Icmp:
        break;
    }
    return "offline by ping";
}

std::string droppedByCheck(const AccountCheckResult& r, bool groupMode)
{
    if (!r.failed)
        return groupMode ? "group empty or not found" : "account not found";
    switch (r.failure) {
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_LOGON_FAILURE:
        return "access denied (logon failure)";
    case 51:  // ERROR_REM_NOT_LIST
    case ERROR_BAD_NETPATH:
    case 64:  // ERROR_NETNAME_DELETED
    case RPC_S_SERVER_UNAVAILABLE:
    case RPC_S_CALL_FAILED:
    case 1727: // RPC_S_CALL_FAILED_DNE
        return "unreachable";
    case ERROR_CANCELLED:
        return "check cancelled";
    default:
        break;
    }
    std::string text = netErrorText(r.failure);
    if (text.rfind("ERROR: ", 0) == 0)
        text.erase(0, 7);
    return "check failed: " + text;
}

std::vector<DroppedComputer> droppedComputers(const SearchSummary& summary, const CliDialogs& dialogs, AliveMode alive)
{
    std::vector<DroppedComputer> dropped;
    for (const NotMatchedComputer& n : summary.notMatched) {
        std::string reason;
        for (const std::string& name : dialogs.livenessRemoved())
            if (reason.empty() && equalsIgnoringCase(name, n.name))
                reason = droppedByLiveness(alive);
        const std::string server = n.name.rfind("\\\\", 0) == 0 ? n.name : "\\\\" + n.name;
        const auto& names = dialogs.checkedNames();
        for (std::size_t i = 0; reason.empty() && i < names.size(); ++i)
            if (equalsIgnoringCase(names[i], server))
                reason = droppedByCheck(dialogs.checkResults()[i], summary.groupMode);
        dropped.push_back({n.name, n.type, reason});
    }
    return dropped;
}

} // namespace rm
