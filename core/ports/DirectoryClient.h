#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace rm {

// One attribute of a directory entry as the server returned it: its name as
// spelled by the server and its values as text, in order.
struct DirectoryAttribute {
    std::string name;
    std::vector<std::string> values;
    bool operator==(const DirectoryAttribute&) const = default;
};
using DirectoryEntry = std::vector<DirectoryAttribute>;

// A subtree search, read a page at a time.
struct DirectoryQuery {
    std::string base;
    std::string filter;
    std::vector<std::string> attributes;
    int pageSize = 0;
    std::chrono::seconds pageWait{0};        // how long the client waits for one page
    std::chrono::seconds serverTimeLimit{0}; // what the server may spend on one
};

// How a bind ended.
enum class BindResult {
    Bound,
    Refused,          // the server said no, or Kerberos refused the credentials
    Unreachable,      // no server of the domain answered
    SimpleBindOff,    // Kerberos cannot be used and the password bind is not allowed
    ServerNotTrusted, // the password bind was allowed, but no server proved itself for it
};

// The directory (LDAP) service of a domain, read as the user the program acts
// as. Destroying a search abandons it; destroying a connection unbinds and
// closes it, whatever happened before.
class DirectoryClient {
public:
    class Search {
    public:
        virtual ~Search() = default;
        // The next page's entries; false once there are no more or a page failed.
        virtual bool nextPage(std::vector<DirectoryEntry>& entries) = 0;
    };

    class Connection {
    public:
        virtual ~Connection() = default;
        // As the current identity. With `allowSimpleBind`, typed credentials
        // whose realm has no reachable Kerberos server may go as a simple bind,
        // only over TLS to a server that proves its name with a trusted
        // certificate.
        virtual BindResult bind(bool allowSimpleBind) = 0;
        // Nothing when the search cannot be started.
        virtual std::unique_ptr<Search> searchPaged(const DirectoryQuery& query) = 0;
    };

    virtual ~DirectoryClient() = default;
    // A connection to a directory server of the DNS domain; nothing when no
    // server of it can be had.
    virtual std::unique_ptr<Connection> connect(const std::string& domain) = 0;
};

} // namespace rm
