#pragma once

#include <cstdint>

namespace rm {

// How a network-management call ended. The numbers are the platform's
// status codes, which the texts shown for them are keyed by; a status
// outside the names below keeps its number too.
enum class NetStatus : std::uint32_t {
    Success = 0,
    AccessDenied = 5,
    NotEnoughMemory = 8,
    RemoteNotListening = 51,
    BadNetPath = 53,
    NetNameDeleted = 64,
    InvalidParameter = 87,
    InvalidName = 123,
    MoreData = 234,
    Cancelled = 1223,
    UserExists = 1316,
    LogonFailure = 1326,
    NoSuchDomain = 1355,
    ServerUnavailable = 1722,
    NtlmRefused = 1937, // Kerberos could not reach the computer, and NTLM is refused
    CallFailed = 1726,
    CallFailedDidNotExecute = 1727,
    BadUsername = 2202,
    BadPassword = 2203,
    GroupNotFound = 2220,
    UserNotFound = 2221,
    AccountExists = 2224,
    NotPrimary = 2226,
    SpecialGroupOperation = 2234,
    PasswordTooShort = 2245,
    InvalidComputer = 2351,
    LastAdmin = 2452,
    NoDnsName = 9003, // Kerberos needs the computer's DNS name, and the domain's DNS has none
};

inline std::uint32_t statusNumber(NetStatus status)
{
    return static_cast<std::uint32_t>(status);
}

} // namespace rm
