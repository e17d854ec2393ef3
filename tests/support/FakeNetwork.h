#pragma once

#include "core/ports/NetworkManagement.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace rm {

// Computers in memory: each server's accounts, local groups and members, or
// a status every call to it fails with; and a domain's browse list,
// controller and machine accounts. Safe for many threads as long as the
// tables are set up before the calls begin.
class FakeNetwork : public NetworkManagement {
public:
    struct Account {
        bool enabled = true;
        std::uint32_t passwordAge = 0;
        std::uint32_t rid = 1000;
        std::vector<std::string> groups;
        NetStatus status = NetStatus::Success; // a lookup of this account fails with it
    };
    struct Computer {
        NetStatus status = NetStatus::Success;
        std::map<std::string, Account> accounts;
        std::map<std::string, std::vector<std::string>> groupMembers;
    };

    // Every change asked for, as "SERVER USER password", "SERVER USER enabled
    // 1|0" or "SERVER USER rename NEW"; passwords not shown.
    std::vector<std::string> changes;
    // Every change of an account of that server fails with this status.
    std::map<std::string, NetStatus> changeStatus;
    // The passwords set, by "SERVER USER".
    std::map<std::string, std::string> passwords;
    // Called at the start of each change, for example to block it.
    std::function<void(const std::string& server)> onChange;
    // Called at the start of each account lookup, for example to block it.
    std::function<void(const std::string& server)> onLookup;
    // Called when a session opens, as the real adapter probes then.
    std::function<void(const CancelToken* cancel)> onSession;
    std::map<std::string, Computer> computers; // keyed by the server name as called
    std::atomic<int> lookups{0};
    std::atomic<int> sessions{0};
    std::atomic<int> running{0};
    std::atomic<int> peakRunning{0};

    // As the real adapter: once the session's cancel is set, its calls fail at once.
    std::unique_ptr<Session> openSession(const ServerName&, const CancelToken* cancel) override
    {
        ++sessions;
        if (onSession)
            onSession(cancel);
        return std::make_unique<CancelSession>(cancel);
    }

    NetStatus getUser(const ServerName& server, const std::string& user, UserAccount& account) override
    {
        if (cancelled())
            return NetStatus::Cancelled;
        lookingUp(server);
        const Account* a = nullptr;
        if (const NetStatus status = find(server, user, a); status != NetStatus::Success)
            return status;
        if (a->status != NetStatus::Success)
            return a->status;
        account = {user, a->enabled, a->passwordAge, a->rid};
        return NetStatus::Success;
    }
    // The account whose rid is 500, whatever its name.
    NetStatus getBuiltinAdministrator(const ServerName& server, UserAccount& account) override
    {
        if (cancelled())
            return NetStatus::Cancelled;
        lookingUp(server);
        const Computer* c = computer(server);
        if (!c || c->status != NetStatus::Success)
            return c ? c->status : NetStatus::BadNetPath;
        for (const auto& [name, a] : c->accounts) {
            if (a.rid != 500)
                continue;
            if (a.status != NetStatus::Success)
                return a.status;
            account = {name, a.enabled, a.passwordAge, a.rid};
            return NetStatus::Success;
        }
        return NetStatus::UserNotFound;
    }
    NetStatus userLocalGroups(const ServerName& server, const std::string& user,
                              std::vector<std::string>& groups) override
    {
        groups.clear();
        if (cancelled())
            return NetStatus::Cancelled;
        const Account* a = nullptr;
        if (const NetStatus status = find(server, user, a); status != NetStatus::Success)
            return status;
        groups = a->groups;
        return NetStatus::Success;
    }
    NetStatus localGroupMembers(const ServerName& server, const std::string& group,
                                std::vector<std::string>& members) override
    {
        members.clear();
        if (cancelled())
            return NetStatus::Cancelled;
        const Computer* c = computer(server);
        if (!c || c->status != NetStatus::Success)
            return c ? c->status : NetStatus::BadNetPath;
        auto g = c->groupMembers.find(group);
        if (g == c->groupMembers.end())
            return NetStatus::GroupNotFound;
        members = g->second;
        return NetStatus::Success;
    }
    NetStatus setPassword(const ServerName& server, const std::string& user, const Secret& password) override
    {
        Account* a = nullptr;
        const NetStatus status = change(server, user, "password", a);
        if (status == NetStatus::Success)
            passwords[server.text() + " " + user] = password.reveal();
        return status;
    }
    NetStatus setEnabled(const ServerName& server, const std::string& user, bool enabled) override
    {
        Account* a = nullptr;
        const NetStatus status = change(server, user, enabled ? "enabled 1" : "enabled 0", a);
        if (status == NetStatus::Success)
            a->enabled = enabled;
        return status;
    }
    NetStatus rename(const ServerName& server, const std::string& user, const std::string& newName) override
    {
        Account* a = nullptr;
        const NetStatus status = change(server, user, "rename " + newName, a);
        if (status != NetStatus::Success)
            return status;
        auto& accounts = computers[server.text()].accounts;
        if (newName.empty())
            return NetStatus::InvalidParameter;
        if (accounts.count(newName))
            return NetStatus::AccountExists;
        Account moved = *a;
        accounts.erase(user);
        accounts.emplace(newName, moved);
        return NetStatus::Success;
    }
    NetStatus machineAccounts(const ServerName& server, std::uint32_t index, std::uint32_t requested,
                              std::vector<MachineAccount>& entries) override
    {
        entries.clear();
        if (server != ServerName(controller))
            return NetStatus::BadNetPath;
        ++displayPages;
        if (onDisplayPage)
            return onDisplayPage(index, entries);
        for (std::uint32_t i = index; i < machineAccountNames.size() && entries.size() < requested; ++i)
            entries.push_back({machineAccountNames[i], i + 1});
        return index + entries.size() < machineAccountNames.size() ? NetStatus::MoreData : displayStatus;
    }
    NetStatus browseList(const std::string& domain, std::vector<BrowseEntry>& entries) override
    {
        if (onBrowse)
            onBrowse();
        enumeratedDomains.push_back(domain);
        entries = browseEntries;
        return browseStatus;
    }
    NetStatus domainController(const std::string& domain, DomainNameForm, DomainController& dc) override
    {
        if (controller.empty() || domain.empty())
            return NetStatus::NoSuchDomain;
        dc.name = controller;
        dc.domain = domain;
        return NetStatus::Success;
    }

    // The domain-scan side.
    std::vector<BrowseEntry> browseEntries;
    NetStatus browseStatus = NetStatus::Success;
    std::string controller;
    std::vector<std::string> machineAccountNames;
    NetStatus displayStatus = NetStatus::Success;
    // Called as the browse list is read, for example to block it.
    std::function<void()> onBrowse;
    // Answers the pages of machine accounts in place of the names above.
    std::function<NetStatus(std::uint32_t index, std::vector<MachineAccount>& entries)> onDisplayPage;
    std::atomic<int> displayPages{0};
    std::vector<std::string> enumeratedDomains;

private:
    void lookingUp(const ServerName& server)
    {
        const int now = ++running;
        for (int peak = peakRunning; now > peak && !peakRunning.compare_exchange_weak(peak, now);) {}
        ++lookups;
        if (onLookup)
            onLookup(server.text());
        --running;
    }
    const Computer* computer(const ServerName& server) const
    {
        auto it = computers.find(server.text());
        return it == computers.end() ? nullptr : &it->second;
    }
    NetStatus find(const ServerName& server, const std::string& user, const Account*& account) const
    {
        const Computer* c = computer(server);
        if (!c)
            return NetStatus::BadNetPath;
        if (c->status != NetStatus::Success)
            return c->status;
        auto a = c->accounts.find(user);
        if (a == c->accounts.end())
            return NetStatus::UserNotFound;
        account = &a->second;
        return NetStatus::Success;
    }
    NetStatus change(const ServerName& server, const std::string& user, const std::string& what, Account*& account)
    {
        {
            std::lock_guard lock(changesMutex_);
            changes.push_back(server.text() + " " + user + " " + what);
        }
        if (onChange)
            onChange(server.text());
        const Account* found = nullptr;
        if (const NetStatus status = find(server, user, found); status != NetStatus::Success)
            return status;
        account = const_cast<Account*>(found);
        auto refused = changeStatus.find(server.text());
        return refused == changeStatus.end() ? NetStatus::Success : refused->second;
    }

    std::mutex changesMutex_;
    static inline thread_local const CancelToken* sessionCancel = nullptr;
    struct CancelSession : Session {
        explicit CancelSession(const CancelToken* cancel) { sessionCancel = cancel; }
        ~CancelSession() override { sessionCancel = nullptr; }
    };
    static bool cancelled() { return sessionCancel && sessionCancel->cancelled(); }
};

} // namespace rm
