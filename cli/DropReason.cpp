#include "cli/DropReason.h"

#include "operations/NetErrorText.h"
#include "platform/NetworkManagement.h"

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

} // namespace rm
