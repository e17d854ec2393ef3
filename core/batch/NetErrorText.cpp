#include "core/batch/NetErrorText.h"

#include <cstdio>

namespace rm {
namespace {

const char* sentence(NetStatus status)
{
    switch (status) {
    case ERROR_ACCESS_DENIED:
        return "The user does not have access to the requested information.";
    case ERROR_INVALID_PARAMETER:
        return "One of the function parameters is invalid. For more information, see the following Remarks section.";
    // Both without a full stop.
    case ERROR_USER_EXISTS:
    case NERR_UserExists:
        return "An account with the new name already exists";
    case NERR_BadUsername:
        return "The specified username is invalid.";
    case NERR_BadPassword:
        return "The share name or password is invalid.";
    case NERR_UserNotFound:
        return "The user name could not be found.";
    case NERR_NotPrimary:
        return "The operation is allowed only on the primary domain controller of the domain.";
    case NERR_SpeGroupOp:
        return "The operation is not allowed on specified special groups, which are user groups, admin groups, "
               "local groups, or guest groups.";
    case NERR_PasswordTooShort:
        return "The password is shorter than required. (The password could also be too long, be too recent in its "
               "change history, not have enough unique characters, or not meet another password policy "
               "requirement.)";
    case NERR_InvalidComputer:
        return "The computer name is invalid.";
    case NERR_LastAdmin:
        return "The operation is not allowed on the last administrative account.";
    default:
        return nullptr;
    }
}

} // namespace

std::string netErrorText(NetStatus status)
{
    if (const char* s = sentence(status))
        return std::string("ERROR: ") + s;
    char unknown[48];
    std::snprintf(unknown, sizeof unknown, "Unknown error (%u)", static_cast<unsigned>(status));
    return std::string("ERROR: ") + unknown;
}

} // namespace rm
