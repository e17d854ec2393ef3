#pragma once

#include "adapters/netapi/HelperPool.h"
#include "core/ports/NetworkCredentials.h"
#include "core/ports/NetworkManagement.h"

#include <chrono>
#include <mutex>

namespace rm {

struct UserAnswer;

// The network-management port on Linux: every call goes to a helper process
// that speaks SAMR through Samba's DCE/RPC client (which is neither
// thread-safe nor safe to share between servers), so many threads can call
// at once, a hung server costs one call its time limit, and a crash costs
// only the call in flight. The helper speaks the platform's levels and
// flags; they stay here.
class NetApiClient : public NetworkManagement, public NetworkCredentials {
public:
    struct Settings {
        std::string helperPath;
        // Helpers kept whatever they do, and how many there may be while
        // they mostly wait on the network (HelperPool).
        std::size_t helpers = 32;
        std::size_t mostHelpers = 512;
        std::chrono::milliseconds callLimit{30000};
        // How long a session waits for a computer to answer at all; 0: not asked.
        std::chrono::milliseconds probeLimit{5000};
    };

    explicit NetApiClient(Settings settings);
    ~NetApiClient() override;

    // The helper by its absolute path: beside this program's executable, or
    // installed in ../libexec/rostermill/; empty when the program cannot tell
    // where it is itself.
    static std::string defaultHelperPath();

    void setCredentials(const std::string& account, const Secret& password) override;
    // Typed credentials go to a computer only through Kerberos: where it
    // cannot work, the computer's calls fail with NtlmRefused.
    void refuseNtlm(bool refused);

    std::unique_ptr<Session> openSession(const ServerName& server, const CancelToken* cancel = nullptr) override;
    NetStatus getUser(const ServerName& server, const std::string& user, UserAccount& account) override;
    NetStatus getBuiltinAdministrator(const ServerName& server, UserAccount& account) override;
    NetStatus userLocalGroups(const ServerName& server, const std::string& user,
                              std::vector<std::string>& groups) override;
    NetStatus localGroupMembers(const ServerName& server, const std::string& group,
                                std::vector<std::string>& members) override;
    NetStatus setPassword(const ServerName& server, const std::string& user, const Secret& password) override;
    NetStatus setEnabled(const ServerName& server, const std::string& user, bool enabled) override;
    NetStatus rename(const ServerName& server, const std::string& user, const std::string& newName) override;
    NetStatus machineAccounts(const ServerName& controller, std::uint32_t index, std::uint32_t count,
                              std::vector<MachineAccount>& accounts) override;
    NetStatus browseList(const std::string& domain, std::vector<BrowseEntry>& entries) override;
    NetStatus domainController(const std::string& domain, DomainNameForm form, DomainController& controller) override;

    std::vector<pid_t> helperProcesses() const { return pool_.pids(); }
    // The process the helpers are forked from, 0 without one.
    pid_t helperTemplateProcess() const { return pool_.templatePid(); }

private:
    class ThreadSession;

    NetStatus readUser(const ServerName& server, const std::string& user, UserAnswer& record);
    // A UserGetInfo or UserGetInfoByRid request's answer.
    NetStatus readUser(const std::string& request, UserAnswer& record);
    // The answer, or the status that stands for a helper that failed.
    NetStatus call(const std::string& request, std::string& answer);
    NetStatus exchange(HelperProcess* helper, const std::string& request, std::string& answer);
    // The SetCredentials frame, built in place and wiped when it goes.
    Secret credentialsRequest() const;

    Settings settings_;
    HelperPool pool_;
    mutable std::mutex credentialsMutex_;
    std::string user_, domain_;
    Secret password_;
    std::uint64_t credentialsVersion_ = 1;
    bool ntlmRefused_ = false;
};

} // namespace rm
