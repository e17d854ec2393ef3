#pragma once

#include "core/ports/NetworkManagement.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace rm {

// Computers in memory for the account check: each server's accounts, local
// groups and members, or a status every call to it fails with. Safe for many
// threads as long as the tables are set up before the calls begin.
class FakeNetwork : public NetworkManagement {
public:
    struct Account {
        std::uint32_t flags = UF_SCRIPT | UF_NORMAL_ACCOUNT;
        std::uint32_t passwordAge = 0;
        std::vector<std::string> groups;
        NetStatus status = NERR_Success; // a lookup of this account fails with it
    };
    static Account flagged(std::uint32_t flags)
    {
        Account a;
        a.flags = flags;
        return a;
    }
    struct Computer {
        NetStatus status = NERR_Success;
        std::map<std::string, Account> accounts;
        std::map<std::string, std::vector<std::string>> groupMembers;
    };

    // Every change asked for, as "SERVER USER LEVEL [VALUE]"; passwords not shown.
    std::vector<std::string> changes;
    // Every change of an account of that server fails with this status.
    std::map<std::string, NetStatus> changeStatus;
    // The passwords set, by "SERVER USER".
    std::map<std::string, std::string> passwords;
    // Called at the start of each change, for example to block it.
    std::function<void(const std::string& server)> onChange;
    // Called at the start of each account lookup, for example to block it.
    std::function<void(const std::string& server)> onLookup;
    // Called when a check takes its hold, as the real adapter's probe is.
    std::function<void(const std::atomic<bool>* cancel)> onHold;
    std::map<std::string, Computer> computers; // keyed by the server name as called
    std::atomic<int> lookups{0};
    std::atomic<int> running{0};
    std::atomic<int> peakRunning{0};

    // As the real adapter: once the hold's cancel is set, its calls fail at once.
    std::unique_ptr<Hold> hold(const std::string&, const std::atomic<bool>* cancel) override
    {
        if (onHold)
            onHold(cancel);
        return std::make_unique<CancelHold>(cancel);
    }

    NetStatus NetUserGetInfo(const std::string& server, const std::string& user, USER_INFO_1& info) override
    {
        if (cancelled())
            return ERROR_CANCELLED;
        const int now = ++running;
        for (int peak = peakRunning; now > peak && !peakRunning.compare_exchange_weak(peak, now);) {}
        ++lookups;
        if (onLookup)
            onLookup(server);
        --running;
        const Computer* c = find(server);
        if (!c)
            return ERROR_BAD_NETPATH;
        if (c->status != NERR_Success)
            return c->status;
        auto a = c->accounts.find(user);
        if (a == c->accounts.end())
            return NERR_UserNotFound;
        if (a->second.status != NERR_Success)
            return a->second.status;
        info = USER_INFO_1{user, a->second.passwordAge, USER_PRIV_USER, "", "", a->second.flags, ""};
        return NERR_Success;
    }
    NetStatus NetUserGetLocalGroups(const std::string& server, const std::string& user, std::uint32_t,
                                    std::vector<LOCALGROUP_USERS_INFO_0>& groups) override
    {
        groups.clear();
        if (cancelled())
            return ERROR_CANCELLED;
        const Computer* c = find(server);
        if (!c || c->status != NERR_Success)
            return c ? c->status : ERROR_BAD_NETPATH;
        auto a = c->accounts.find(user);
        if (a == c->accounts.end())
            return NERR_UserNotFound;
        for (const auto& g : a->second.groups)
            groups.push_back({g});
        return NERR_Success;
    }
    NetStatus NetLocalGroupGetMembers(const std::string& server, const std::string& group,
                                      std::vector<LOCALGROUP_MEMBERS_INFO_3>& members) override
    {
        members.clear();
        if (cancelled())
            return ERROR_CANCELLED;
        const Computer* c = find(server);
        if (!c || c->status != NERR_Success)
            return c ? c->status : ERROR_BAD_NETPATH;
        auto g = c->groupMembers.find(group);
        if (g == c->groupMembers.end())
            return NERR_GroupNotFound;
        for (const auto& m : g->second)
            members.push_back({m});
        return NERR_Success;
    }
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_0& info) override
    {
        Account* a = nullptr;
        NetStatus status = change(server, user, "0 " + info.usri0_name, a);
        if (status != NERR_Success)
            return status;
        auto& accounts = computers[server].accounts;
        if (info.usri0_name.empty())
            return ERROR_INVALID_PARAMETER;
        if (accounts.count(info.usri0_name))
            return NERR_UserExists;
        Account moved = *a;
        accounts.erase(user);
        accounts.emplace(info.usri0_name, moved);
        return NERR_Success;
    }
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_1003& info) override
    {
        Account* a = nullptr;
        NetStatus status = change(server, user, "1003", a);
        if (status == NERR_Success)
            passwords[server + " " + user] = info.usri1003_password;
        return status;
    }
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_1008& info) override
    {
        Account* a = nullptr;
        NetStatus status = change(server, user, "1008 " + std::to_string(info.usri1008_flags), a);
        if (status == NERR_Success)
            a->flags = info.usri1008_flags;
        return status;
    }
    NetStatus NetQueryDisplayInformation(const std::string& server, std::uint32_t index, std::uint32_t requested,
                                         std::vector<NET_DISPLAY_MACHINE>& entries) override
    {
        entries.clear();
        if (server != "\\\\" + controller)
            return ERROR_BAD_NETPATH;
        ++displayPages;
        if (onDisplayPage)
            return onDisplayPage(index, entries);
        for (std::uint32_t i = index; i < machineAccounts.size() && entries.size() < requested; ++i)
            entries.push_back({machineAccounts[i], "", UF_WORKSTATION_TRUST_ACCOUNT, 1000 + i, i + 1});
        return index + entries.size() < machineAccounts.size() ? ERROR_MORE_DATA : displayStatus;
    }
    NetStatus NetServerEnum(const std::string& domain, std::uint32_t, std::vector<SERVER_INFO_101>& servers) override
    {
        enumeratedDomains.push_back(domain);
        servers = browseList;
        return browseStatus;
    }
    NetStatus DsGetDcName(const std::string& domain, std::uint32_t, DOMAIN_CONTROLLER_INFO& info) override
    {
        if (controller.empty() || domain.empty())
            return ERROR_NO_SUCH_DOMAIN;
        info.DomainControllerName = "\\\\" + controller;
        return NERR_Success;
    }

    // The domain-scan side.
    std::vector<SERVER_INFO_101> browseList;
    NetStatus browseStatus = NERR_Success;
    std::string controller;
    std::vector<std::string> machineAccounts;
    NetStatus displayStatus = NERR_Success;
    // Answers the pages of machine accounts in place of the list above.
    std::function<NetStatus(std::uint32_t index, std::vector<NET_DISPLAY_MACHINE>& entries)> onDisplayPage;
    std::atomic<int> displayPages{0};
    std::vector<std::string> enumeratedDomains;

private:
    NetStatus change(const std::string& server, const std::string& user, const std::string& what, Account*& account)
    {
        {
            std::lock_guard lock(changesMutex_);
            changes.push_back(server + " " + user + " " + what);
        }
        if (onChange)
            onChange(server);
        auto c = computers.find(server);
        if (c == computers.end())
            return ERROR_BAD_NETPATH;
        if (c->second.status != NERR_Success)
            return c->second.status;
        auto a = c->second.accounts.find(user);
        if (a == c->second.accounts.end())
            return NERR_UserNotFound;
        account = &a->second;
        auto refused = changeStatus.find(server);
        return refused == changeStatus.end() ? NERR_Success : refused->second;
    }

    std::mutex changesMutex_;
    static inline thread_local const std::atomic<bool>* holdCancel = nullptr;
    struct CancelHold : Hold {
        explicit CancelHold(const std::atomic<bool>* cancel) { holdCancel = cancel; }
        ~CancelHold() override { holdCancel = nullptr; }
    };
    static bool cancelled() { return holdCancel && holdCancel->load(std::memory_order_acquire); }

    const Computer* find(const std::string& server) const
    {
        auto it = computers.find(server);
        return it == computers.end() ? nullptr : &it->second;
    }
};

} // namespace rm
