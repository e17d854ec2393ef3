#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rm {

// The network-management calls the program makes on other computers, with
// the platform's records, levels and status numbers. Server names carry two
// leading backslashes. Callable from many threads at once.
using NetStatus = std::uint32_t;

enum : NetStatus {
    NERR_Success = 0,
    ERROR_ACCESS_DENIED = 5,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_BAD_NETPATH = 53,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_INVALID_NAME = 123,
    ERROR_MORE_DATA = 234,
    ERROR_CANCELLED = 1223,
    ERROR_USER_EXISTS = 1316,
    ERROR_LOGON_FAILURE = 1326,
    ERROR_NO_SUCH_DOMAIN = 1355,
    RPC_S_SERVER_UNAVAILABLE = 1722,
    RPC_S_CALL_FAILED = 1726,
    NERR_BadUsername = 2202,
    NERR_BadPassword = 2203,
    NERR_GroupNotFound = 2220,
    NERR_UserNotFound = 2221,
    NERR_UserExists = 2224,
    NERR_NotPrimary = 2226,
    NERR_SpeGroupOp = 2234,
    NERR_PasswordTooShort = 2245,
    NERR_InvalidComputer = 2351,
    NERR_LastAdmin = 2452,
};

enum : std::uint32_t {
    UF_SCRIPT = 0x0001,
    UF_ACCOUNTDISABLE = 0x0002,
    UF_LOCKOUT = 0x0010,
    UF_PASSWD_NOTREQD = 0x0020,
    UF_NORMAL_ACCOUNT = 0x0200,
    UF_WORKSTATION_TRUST_ACCOUNT = 0x1000,
    UF_SERVER_TRUST_ACCOUNT = 0x2000,
    UF_DONT_EXPIRE_PASSWD = 0x10000,
};

enum : std::uint32_t { LG_INCLUDE_INDIRECT = 1 };
enum : std::uint32_t { USER_PRIV_GUEST = 0, USER_PRIV_USER = 1, USER_PRIV_ADMIN = 2 };

enum : std::uint32_t {
    SV_TYPE_WORKSTATION = 0x00000001,
    SV_TYPE_SERVER = 0x00000002,
    SV_TYPE_DOMAIN_CTRL = 0x00000008,
    SV_TYPE_DOMAIN_BAKCTRL = 0x00000010,
    SV_TYPE_MASTER_BROWSER = 0x00040000,
    SV_TYPE_NT = 0x00001000,
    SV_TYPE_WFW = 0x00002000,
    SV_TYPE_SERVER_NT = 0x00008000,
    SV_TYPE_WINDOWS = 0x00400000,
    SV_TYPE_ALL = 0xFFFFFFFF,
};

enum : std::uint32_t {
    DS_RETURN_DNS_NAME = 0x40000000,
    DS_RETURN_FLAT_NAME = 0x80000000,
};

struct USER_INFO_0 {
    std::string usri0_name;
};
struct USER_INFO_1 {
    std::string usri1_name;
    std::uint32_t usri1_password_age = 0; // seconds
    std::uint32_t usri1_priv = 0;
    std::string usri1_home_dir;
    std::string usri1_comment;
    std::uint32_t usri1_flags = 0;
    std::string usri1_script_path;
};
struct USER_INFO_1003 {
    std::string usri1003_password;
};
struct USER_INFO_1008 {
    std::uint32_t usri1008_flags = 0;
};
struct LOCALGROUP_MEMBERS_INFO_3 {
    std::string lgrmi3_domainandname;
};
struct LOCALGROUP_USERS_INFO_0 {
    std::string lgrui0_name;
};
struct NET_DISPLAY_MACHINE {
    std::string usri2_name;
    std::string usri2_comment;
    std::uint32_t usri2_flags = 0;
    std::uint32_t usri2_user_id = 0;
    std::uint32_t usri2_next_index = 0;
};
struct SERVER_INFO_101 {
    std::uint32_t sv101_platform_id = 0;
    std::string sv101_name;
    std::uint32_t sv101_version_major = 0;
    std::uint32_t sv101_version_minor = 0;
    std::uint32_t sv101_type = 0;
    std::string sv101_comment;
};
struct DOMAIN_CONTROLLER_INFO {
    std::string DomainControllerName;    // with two leading backslashes
    std::string DomainControllerAddress; // likewise
    std::string DomainName;
    std::string DnsForestName;
    std::uint32_t Flags = 0;
};

class NetworkManagement {
public:
    class Hold {
    public:
        virtual ~Hold() = default;
    };

    virtual ~NetworkManagement() = default;

    // While a hold is alive, the calling thread's calls to `server` share one
    // connection. The hold first makes sure, without tying up a connection,
    // that the server answers at all: when it does not, or once `cancel` is
    // set, the calls of the hold fail at once.
    virtual std::unique_ptr<Hold> hold(const std::string& server, const std::atomic<bool>* cancel = nullptr) = 0;

    virtual NetStatus NetUserGetInfo(const std::string& server, const std::string& user,
                                     USER_INFO_1& info) = 0;
    virtual NetStatus NetUserSetInfo(const std::string& server, const std::string& user,
                                     const USER_INFO_0& info) = 0;
    virtual NetStatus NetUserSetInfo(const std::string& server, const std::string& user,
                                     const USER_INFO_1003& info) = 0;
    virtual NetStatus NetUserSetInfo(const std::string& server, const std::string& user,
                                     const USER_INFO_1008& info) = 0;
    // Level 3, one call.
    virtual NetStatus NetLocalGroupGetMembers(const std::string& server, const std::string& group,
                                              std::vector<LOCALGROUP_MEMBERS_INFO_3>& members) = 0;
    // Level 0.
    virtual NetStatus NetUserGetLocalGroups(const std::string& server, const std::string& user,
                                            std::uint32_t flags,
                                            std::vector<LOCALGROUP_USERS_INFO_0>& groups) = 0;
    // Level 2, machine accounts from `index` on; ERROR_MORE_DATA when more follow.
    virtual NetStatus NetQueryDisplayInformation(const std::string& server, std::uint32_t index,
                                                 std::uint32_t requested,
                                                 std::vector<NET_DISPLAY_MACHINE>& entries) = 0;
    // Level 101 on the local computer, for a domain's browse list.
    virtual NetStatus NetServerEnum(const std::string& domain, std::uint32_t serverType,
                                    std::vector<SERVER_INFO_101>& servers) = 0;
    virtual NetStatus DsGetDcName(const std::string& domain, std::uint32_t flags,
                                  DOMAIN_CONTROLLER_INFO& info) = 0;
};

} // namespace rm
