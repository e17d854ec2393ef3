#pragma once

#include "platform/NetworkManagement.h"

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
    struct Computer {
        NetStatus status = NERR_Success;
        std::map<std::string, Account> accounts;
        std::map<std::string, std::vector<std::string>> groupMembers;
    };

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
    NetStatus NetUserSetInfo(const std::string&, const std::string&, const USER_INFO_0&) override { return ERROR_ACCESS_DENIED; }
    NetStatus NetUserSetInfo(const std::string&, const std::string&, const USER_INFO_1003&) override { return ERROR_ACCESS_DENIED; }
    NetStatus NetUserSetInfo(const std::string&, const std::string&, const USER_INFO_1008&) override { return ERROR_ACCESS_DENIED; }
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
