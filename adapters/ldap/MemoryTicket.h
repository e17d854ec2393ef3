#pragma once

#include <string>

struct _krb5_context;
struct _krb5_ccache;

namespace rm {

// A ticket-granting ticket got from an account and password, kept in a
// credentials cache in this process's memory only (never a file) and
// destroyed with this object.
class MemoryTicket {
public:
    // `principal` as "user@REALM". No prompt is ever shown.
    MemoryTicket(const std::string& principal, const std::string& password);
    ~MemoryTicket();
    MemoryTicket(const MemoryTicket&) = delete;
    MemoryTicket& operator=(const MemoryTicket&) = delete;

    bool valid() const { return cache_ != nullptr; }
    // The Kerberos error when there is no ticket, 0 otherwise.
    long error() const { return error_; }
    // True when the realm's key distribution centre could not be reached at all.
    bool kdcUnreachable() const;
    // "MEMORY:..." for the GSSAPI layer.
    const std::string& cacheName() const { return name_; }

private:
    _krb5_context* context_ = nullptr;
    _krb5_ccache* cache_ = nullptr;
    long error_ = 0;
    std::string name_;
};

} // namespace rm
