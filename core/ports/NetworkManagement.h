#pragma once

#include "core/jobs/CancelToken.h"
#include "core/ports/NetStatus.h"
#include "core/ports/Secret.h"
#include "core/ports/ServerName.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rm {

// A local account as its computer reports it.
struct UserAccount {
    std::string name;
    bool enabled = true;
    std::uint32_t passwordAgeSeconds = 0;
    std::uint32_t rid = 0; // its relative identifier in the computer's account domain
};

// A machine account of a domain controller, and where the next page starts.
struct MachineAccount {
    std::string name; // with its trailing "$"
    std::uint32_t nextIndex = 0;
};

// What a domain's browse list says of one computer.
struct BrowseEntry {
    std::string name;
    std::uint32_t type = 0; // the browse list's type bits (BrowseType)
    std::uint32_t versionMajor = 0;
    std::uint32_t versionMinor = 0;
};

// The type bits of a browse-list entry that the program reads.
namespace BrowseType {
constexpr std::uint32_t DomainController = 0x00000008;
constexpr std::uint32_t BackupController = 0x00000010;
constexpr std::uint32_t Nt = 0x00001000;
constexpr std::uint32_t WindowsForWorkgroups = 0x00002000;
constexpr std::uint32_t ServerNt = 0x00008000;
constexpr std::uint32_t Windows = 0x00400000;
} // namespace BrowseType

// The two forms of a domain's name: NetBIOS ("LAB") and DNS ("lab.example").
enum class DomainNameForm { Flat, Dns };

// A domain's controller, as the locator found it.
struct DomainController {
    std::string name;   // without backslashes
    std::string domain; // the domain's name in the form asked for
};

// The calls the program makes on the computers of a network, in the
// domain's words. Callable from many threads at once.
class NetworkManagement {
public:
    // While a session is alive, the calling thread's calls to its server
    // share one connection. Opening one first makes sure, without tying up a
    // connection, that the server answers at all: when it does not, or once
    // `cancel` is set, the calls of the session fail at once.
    class Session {
    public:
        virtual ~Session() = default;
    };

    virtual ~NetworkManagement() = default;

    virtual std::unique_ptr<Session> openSession(const ServerName& server, const CancelToken* cancel = nullptr) = 0;

    virtual NetStatus getUser(const ServerName& server, const std::string& user, UserAccount& account) = 0;
    // The account whose relative identifier is 500 in the computer's account
    // domain, by whatever name it has there; UserNotFound where there is none.
    virtual NetStatus getBuiltinAdministrator(const ServerName& server, UserAccount& account) = 0;
    // The local groups the user belongs to, directly or through a domain group.
    virtual NetStatus userLocalGroups(const ServerName& server, const std::string& user,
                                      std::vector<std::string>& groups) = 0;
    // A local group's members as "DOMAIN\name", or as SID text where no name is known.
    virtual NetStatus localGroupMembers(const ServerName& server, const std::string& group,
                                        std::vector<std::string>& members) = 0;
    virtual NetStatus setPassword(const ServerName& server, const std::string& user, const Secret& password) = 0;
    // Only the account's disabled flag changes.
    virtual NetStatus setEnabled(const ServerName& server, const std::string& user, bool enabled) = 0;
    virtual NetStatus rename(const ServerName& server, const std::string& user, const std::string& newName) = 0;
    // A controller's machine accounts from `index` on, at most `count`;
    // MoreData when more follow.
    virtual NetStatus machineAccounts(const ServerName& controller, std::uint32_t index, std::uint32_t count,
                                      std::vector<MachineAccount>& accounts) = 0;
    // The domain's browse list, as this computer's master browser holds it.
    virtual NetStatus browseList(const std::string& domain, std::vector<BrowseEntry>& entries) = 0;
    virtual NetStatus domainController(const std::string& domain, DomainNameForm form,
                                       DomainController& controller) = 0;
};

} // namespace rm
