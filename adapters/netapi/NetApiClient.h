#pragma once

#include "core/ports/NetworkCredentials.h"
#include "core/ports/NetworkManagement.h"
#include "adapters/netapi/HelperPool.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace rm {

// The network-management port on Linux: every call goes to a helper process
// that speaks SAMR through Samba's DCE/RPC client (which is neither
// thread-safe nor safe to share between servers), so many threads can call
// at once, a hung server costs one call its time limit, and a crash costs
// only the call in flight.
class NetApiClient : public NetworkManagement, public NetworkCredentials {
public:
    struct Settings {
        std::string helperPath;
        std::size_t poolSize = 32;
        std::chrono::milliseconds callLimit{30000};
        // How long a hold waits for a computer to answer at all; 0: not asked.
        std::chrono::milliseconds probeLimit{5000};
    };

    explicit NetApiClient(Settings settings);
    ~NetApiClient() override;

    // The helper by its absolute path: beside this program's executable, or
    // installed in ../libexec/rostermill/; empty when the program cannot tell
    // where it is itself.
    static std::string defaultHelperPath();

    void setCredentials(const std::string& account, const std::string& password) override;

    std::unique_ptr<Hold> hold(const std::string& server, const std::atomic<bool>* cancel = nullptr) override;
    NetStatus NetUserGetInfo(const std::string& server, const std::string& user, USER_INFO_1& info) override;
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_0& info) override;
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_1003& info) override;
    NetStatus NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_1008& info) override;
    NetStatus NetLocalGroupGetMembers(const std::string& server, const std::string& group,
                                      std::vector<LOCALGROUP_MEMBERS_INFO_3>& members) override;
    NetStatus NetUserGetLocalGroups(const std::string& server, const std::string& user, std::uint32_t flags,
                                    std::vector<LOCALGROUP_USERS_INFO_0>& groups) override;
    NetStatus NetQueryDisplayInformation(const std::string& server, std::uint32_t index, std::uint32_t requested,
                                         std::vector<NET_DISPLAY_MACHINE>& entries) override;
    NetStatus NetServerEnum(const std::string& domain, std::uint32_t serverType,
                            std::vector<SERVER_INFO_101>& servers) override;
    NetStatus DsGetDcName(const std::string& domain, std::uint32_t flags, DOMAIN_CONTROLLER_INFO& info) override;

    std::vector<pid_t> helperProcesses() const { return pool_.pids(); }

private:
    class ThreadHold;

    // The answer, or the status that stands for a helper that failed.
    NetStatus call(const std::string& request, std::string& answer);
    NetStatus exchange(HelperProcess* helper, const std::string& request, std::string& answer);
    std::string credentialsRequest() const;

    Settings settings_;
    HelperPool pool_;
    mutable std::mutex credentialsMutex_;
    std::string user_, domain_, password_;
    std::uint64_t credentialsVersion_ = 1;
};

} // namespace rm
