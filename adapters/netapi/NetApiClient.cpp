#include "adapters/netapi/NetApiClient.h"

#include "adapters/netapi/HelperAnswers.h"
#include "adapters/netapi/ServerProbe.h"
#include "helper/HelperProtocol.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace rm {
namespace {

// Each helper takes two of this program's descriptors, its channel and its
// process's, and every check in flight one more for its probe: the usual
// soft limit of 1024 would run out well before 512 helpers. The limit is
// raised as far as allowed, and the pool kept within what it leaves, but
// never below its steady number, which has always fitted.
std::size_t helpersTheDescriptorsAllow(std::size_t steady, std::size_t wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return std::max(steady, wanted);
    if (limit.rlim_cur < limit.rlim_max) {
        const rlimit raised{limit.rlim_max, limit.rlim_max};
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY)
        return std::max(steady, wanted);
    constexpr rlim_t ForTheRest = 1024; // the checks' probes and all else
    const rlim_t room = limit.rlim_cur > ForTheRest ? (limit.rlim_cur - ForTheRest) / 2 : 0;
    return std::max(steady, static_cast<std::size_t>(std::min<rlim_t>(wanted, room)));
}

// The levels and flags the helper speaks, as the platform names them.
constexpr std::uint32_t IncludeIndirectGroups = 1;
constexpr std::uint32_t ReturnFlatName = 0x80000000;
constexpr std::uint32_t ReturnDnsName = 0x40000000;
constexpr std::uint32_t AllServerTypes = 0xFFFFFFFF;
// The built-in administrator's relative identifier in every account domain.
constexpr std::uint32_t AdministratorRid = 500;

// What a thread's session binds it to: one helper, taken at its first call,
// and the failure that every call of the session returns without a helper.
struct Binding {
    const NetApiClient* owner = nullptr;
    HelperProcess* helper = nullptr;
    const CancelToken* cancel = nullptr;
    NetStatus failure = NetStatus::Success;
};
thread_local Binding binding;

WireWriter request(HelperOp op)
{
    WireWriter w;
    w.number(static_cast<std::uint32_t>(op));
    return w;
}

} // namespace

class NetApiClient::ThreadSession : public NetworkManagement::Session {
public:
    ThreadSession(NetApiClient& owner, const ServerName& server, const CancelToken* cancel) : pool_(owner.pool_)
    {
        binding = {&owner, nullptr, cancel, NetStatus::Success};
        if (owner.settings_.probeLimit.count() > 0)
            binding.failure = probeServer(server.text(), owner.settings_.probeLimit, cancel);
    }
    ~ThreadSession() override
    {
        pool_.release(binding.helper);
        binding = {};
    }

private:
    HelperPool& pool_;
};

NetApiClient::NetApiClient(Settings settings)
    : settings_(std::move(settings)),
      pool_(settings_.helperPath, settings_.helpers, helpersTheDescriptorsAllow(settings_.helpers, settings_.mostHelpers),
            std::max(1u, std::thread::hardware_concurrency()))
{
}

NetApiClient::~NetApiClient() = default;

std::string NetApiClient::defaultHelperPath()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0 || path[0] != '/')
        return {};
    const std::string self(path, static_cast<std::size_t>(n));
    const std::string folder = self.substr(0, self.rfind('/') + 1);
    // Beside the program in a build tree; installed, under libexec beside bin.
    const std::string beside = folder + "rostermill-netapi";
    const std::string installed = folder + "../libexec/rostermill/rostermill-netapi";
    if (::access(beside.c_str(), X_OK) != 0 && ::access(installed.c_str(), X_OK) == 0)
        return installed;
    return beside;
}

void NetApiClient::setCredentials(const std::string& account, const Secret& password)
{
    std::lock_guard lock(credentialsMutex_);
    std::string user = account, domain;
    if (auto slash = account.find('\\'); slash != std::string::npos) {
        domain = account.substr(0, slash);
        user = account.substr(slash + 1);
    } else if (auto at = account.rfind('@'); at != std::string::npos) {
        user = account.substr(0, at);
        domain = account.substr(at + 1);
    }
    user_ = user;
    domain_ = domain;
    password_ = Secret::copyOf(password.reveal());
    ++credentialsVersion_;
}

void NetApiClient::refuseNtlm(bool refused)
{
    std::lock_guard lock(credentialsMutex_);
    ntlmRefused_ = refused;
    ++credentialsVersion_;
}

Secret NetApiClient::credentialsRequest() const
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(settings_.callLimit).count();
    const std::string& password = password_.reveal();
    WireWriter w(WireWriter::numberSize + WireWriter::textSize(user_) + WireWriter::textSize(domain_)
                 + WireWriter::textSize(password) + 2 * WireWriter::numberSize);
    w.number(static_cast<std::uint32_t>(HelperOp::SetCredentials)).text(user_).text(domain_).text(password);
    w.number(static_cast<std::uint32_t>(std::max<long long>(seconds, 1))).number(ntlmRefused_ ? RefuseNtlm : 0);
    return Secret(w.take());
}

std::unique_ptr<NetworkManagement::Session> NetApiClient::openSession(const ServerName& server,
                                                                      const CancelToken* cancel)
{
    if (binding.owner == this)
        return std::make_unique<Session>(); // already open further up
    return std::make_unique<ThreadSession>(*this, server, cancel);
}

NetStatus NetApiClient::exchange(HelperProcess* helper, const std::string& req, std::string& answer)
{
    if (!helper)
        return NetStatus::NotEnoughMemory;
    std::uint64_t version;
    std::optional<Secret> credentials;
    {
        std::lock_guard lock(credentialsMutex_);
        version = credentialsVersion_;
        if (helper->credentials != version)
            credentials = credentialsRequest();
    }
    if (credentials) {
        const auto reply = helper->call(credentials->reveal(), settings_.callLimit);
        credentials.reset();
        if (!reply)
            return NetStatus::CallFailed;
        // No call goes ahead when the helper refused the credentials.
        WireReader in(*reply);
        std::uint32_t status = 0;
        if (!in.number(status))
            return NetStatus::CallFailed;
        if (status != 0)
            return static_cast<NetStatus>(status);
        helper->credentials = version;
    }
    const auto started = std::chrono::steady_clock::now();
    auto reply = helper->call(req, settings_.callLimit);
    if (!reply) {
        // Killed at its time limit, or died on its own.
        return std::chrono::steady_clock::now() - started >= settings_.callLimit ? NetStatus::ServerUnavailable
                                                                                 : NetStatus::CallFailed;
    }
    answer = std::move(*reply);
    return NetStatus::Success;
}

NetStatus NetApiClient::call(const std::string& req, std::string& answer)
{
    if (binding.owner == this) {
        if (binding.failure != NetStatus::Success)
            return binding.failure;
        if (binding.cancel && binding.cancel->cancelled())
            return NetStatus::Cancelled;
        // A helper lost during a session, even between two calls, is
        // replaced for the rest of it.
        if (!binding.helper || binding.helper->diedWhileIdle()) {
            pool_.release(binding.helper);
            binding.helper = pool_.acquire(binding.cancel);
            if (!binding.helper && binding.cancel && binding.cancel->cancelled())
                return NetStatus::Cancelled;
        }
        return exchange(binding.helper, req, answer);
    }
    HelperProcess* helper = pool_.acquire();
    NetStatus status = exchange(helper, req, answer);
    pool_.release(helper);
    return status;
}

NetStatus NetApiClient::readUser(const std::string& req, UserAnswer& record)
{
    std::string answer;
    const NetStatus transport = call(req, answer);
    return transport != NetStatus::Success ? transport : readUserAnswer(answer, record);
}

NetStatus NetApiClient::readUser(const ServerName& server, const std::string& user, UserAnswer& record)
{
    return readUser(request(HelperOp::UserGetInfo).text(server.text()).text(user).bytes(), record);
}

NetStatus NetApiClient::getUser(const ServerName& server, const std::string& user, UserAccount& account)
{
    UserAnswer record;
    const NetStatus status = readUser(server, user, record);
    if (status == NetStatus::Success)
        account = record.account;
    return status;
}

NetStatus NetApiClient::getBuiltinAdministrator(const ServerName& server, UserAccount& account)
{
    UserAnswer record;
    const NetStatus status =
        readUser(request(HelperOp::UserGetInfoByRid).text(server.text()).number(AdministratorRid).bytes(), record);
    if (status == NetStatus::Success)
        account = record.account;
    return status;
}

NetStatus NetApiClient::userLocalGroups(const ServerName& server, const std::string& user,
                                        std::vector<std::string>& groups)
{
    std::string answer;
    const NetStatus transport = call(
        request(HelperOp::UserGetLocalGroups).text(server.text()).text(user).number(IncludeIndirectGroups).bytes(),
        answer);
    if (transport != NetStatus::Success) {
        groups.clear();
        return transport;
    }
    return readTextsAnswer(answer, groups);
}

NetStatus NetApiClient::localGroupMembers(const ServerName& server, const std::string& group,
                                          std::vector<std::string>& members)
{
    std::string answer;
    const NetStatus transport =
        call(request(HelperOp::LocalGroupGetMembers).text(server.text()).text(group).bytes(), answer);
    if (transport != NetStatus::Success) {
        members.clear();
        return transport;
    }
    return readTextsAnswer(answer, members);
}

NetStatus NetApiClient::setPassword(const ServerName& server, const std::string& user, const Secret& password)
{
    WireWriter req(WireWriter::numberSize + WireWriter::textSize(server.text()) + WireWriter::textSize(user)
                   + WireWriter::textSize(password.reveal()));
    req.number(static_cast<std::uint32_t>(HelperOp::UserSetPassword)).text(server.text()).text(user);
    req.text(password.reveal());
    std::string answer;
    const NetStatus transport = call(req.bytes(), answer);
    req.wipe();
    return transport != NetStatus::Success ? transport : readStatusAnswer(answer);
}

NetStatus NetApiClient::setEnabled(const ServerName& server, const std::string& user, bool enabled)
{
    // Only the disabled flag changes; every other flag goes back as read.
    UserAnswer current;
    NetStatus status = readUser(server, user, current);
    if (status != NetStatus::Success)
        return status;
    const std::uint32_t flags = enabled ? current.flags & ~AccountDisabled : current.flags | AccountDisabled;
    std::string answer;
    const NetStatus transport =
        call(request(HelperOp::UserSetFlags).text(server.text()).text(user).number(flags).bytes(), answer);
    return transport != NetStatus::Success ? transport : readStatusAnswer(answer);
}

NetStatus NetApiClient::rename(const ServerName& server, const std::string& user, const std::string& newName)
{
    std::string answer;
    const NetStatus transport =
        call(request(HelperOp::UserSetName).text(server.text()).text(user).text(newName).bytes(), answer);
    return transport != NetStatus::Success ? transport : readStatusAnswer(answer);
}

NetStatus NetApiClient::machineAccounts(const ServerName& controller, std::uint32_t index, std::uint32_t count,
                                        std::vector<MachineAccount>& accounts)
{
    std::string answer;
    const NetStatus transport = call(
        request(HelperOp::QueryDisplayMachines).text(controller.text()).number(index).number(count).bytes(), answer);
    if (transport != NetStatus::Success) {
        accounts.clear();
        return transport;
    }
    return readMachinesAnswer(answer, accounts);
}

NetStatus NetApiClient::browseList(const std::string& domain, std::vector<BrowseEntry>& entries)
{
    std::string answer;
    const NetStatus transport =
        call(request(HelperOp::ServerEnum).text(domain).number(AllServerTypes).bytes(), answer);
    if (transport != NetStatus::Success) {
        entries.clear();
        return transport;
    }
    return readBrowseAnswer(answer, entries);
}

NetStatus NetApiClient::domainController(const std::string& domain, DomainNameForm form,
                                         DomainController& controller)
{
    std::string answer;
    const NetStatus transport = call(
        request(HelperOp::GetDcName).text(domain).number(form == DomainNameForm::Flat ? ReturnFlatName : ReturnDnsName)
            .bytes(),
        answer);
    return transport != NetStatus::Success ? transport : readControllerAnswer(answer, controller);
}

} // namespace rm
