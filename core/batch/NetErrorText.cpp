#include "core/batch/NetErrorText.h"

#include <cstdio>

namespace rm {
namespace {

const char* sentence(NetStatus status)
{
    switch (status) {
    case NetStatus::AccessDenied:
        return "The user does not have access to the requested information.";
    case NetStatus::InvalidParameter:
        return "One of the function parameters is invalid. For more information, see the following Remarks section.";
    // Both without a full stop.
    case NetStatus::UserExists:
    case NetStatus::AccountExists:
        return "An account with the new name already exists";
    case NetStatus::BadUsername:
        return "The specified username is invalid.";
    case NetStatus::BadPassword:
        return "The share name or password is invalid.";
    case NetStatus::UserNotFound:
        return "The user name could not be found.";
    case NetStatus::NotPrimary:
        return "The operation is allowed only on the primary domain controller of the domain.";
    case NetStatus::SpecialGroupOperation:
        return "The operation is not allowed on specified special groups, which are user groups, admin groups, "
               "local groups, or guest groups.";
    case NetStatus::PasswordTooShort:
        return "The password is shorter than required. (The password could also be too long, be too recent in its "
               "change history, not have enough unique characters, or not meet another password policy "
               "requirement.)";
    case NetStatus::InvalidComputer:
        return "The computer name is invalid.";
    case NetStatus::LastAdmin:
        return "The operation is not allowed on the last administrative account.";
    case NetStatus::NtlmRefused:
        return "NTLM refused";
    case NetStatus::NoDnsName:
        return "no DNS name for Kerberos";
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
    std::snprintf(unknown, sizeof unknown, "Unknown error (%u)", static_cast<unsigned>(statusNumber(status)));
    return std::string("ERROR: ") + unknown;
}

} // namespace rm
