#include "cli/DropReason.h"

#include "core/batch/NetErrorText.h"

namespace rm {

std::string dropReasonText(const DroppedComputer& d, const SearchRequest& request)
{
    switch (d.reason) {
    case DropReason::Offline:
        switch (request.liveness) {
        case Liveness::Port:
            return "offline (no connection on port 445)";
        case Liveness::PingOrPort:
            return "offline by ping and no connection on port 445";
        case Liveness::Ping:
            break;
        }
        return "offline by ping";
    case DropReason::NotFound:
        switch (request.kind) {
        case AccountKind::Group:
            return "group empty or not found";
        case AccountKind::BuiltinAdministrator:
            return "no built-in administrator account";
        case AccountKind::User:
            break;
        }
        return "account not found";
    case DropReason::AccessDenied:
        return d.status == NetStatus::LogonFailure ? "access denied (logon failure)" : "access denied";
    case DropReason::Unreachable:
        return "unreachable";
    case DropReason::CheckFailed:
        break;
    }
    if (d.status == NetStatus::Cancelled)
        return "check cancelled";
    if (d.status == NetStatus::NtlmRefused)
        return "NTLM refused";
    if (d.status == NetStatus::NoDnsName)
        return "no DNS name for Kerberos";
    std::string text = netErrorText(d.status);
    if (text.rfind("ERROR: ", 0) == 0)
        text.erase(0, 7);
    return "check failed: " + text;
}

} // namespace rm
