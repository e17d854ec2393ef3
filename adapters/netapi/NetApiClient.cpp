#include "adapters/netapi/NetApiClient.h"

#include "core/ports/Wipe.h"
#include "helper/HelperProtocol.h"
#include "adapters/netapi/ServerProbe.h"

#include <climits>
#include <unistd.h>

namespace rm {
namespace {

// What a thread's hold binds it to: one helper, taken at its first call, and
// the failure that every call of the hold returns without a helper.
struct Binding {
    const NetApiClient* owner = nullptr;
    HelperProcess* helper = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    NetStatus failure = NERR_Success;
};
thread_local Binding binding;

WireWriter request(HelperOp op)
{
    WireWriter w;
    w.number(static_cast<std::uint32_t>(op));
    return w;
}

} // namespace

class NetApiClient::ThreadHold : public NetworkManagement::Hold {
public:
    ThreadHold(NetApiClient& owner, const std::string& server, const std::atomic<bool>* cancel)
        : pool_(owner.pool_)
    {
        binding = {&owner, nullptr, cancel, NERR_Success};
        if (owner.settings_.probeLimit.count() > 0)
            binding.failure = probeServer(server, owner.settings_.probeLimit, cancel);
    }
    ~ThreadHold() override
    {
        pool_.release(binding.helper);
        binding = {};
    }

private:
    HelperPool& pool_;
};

NetApiClient::NetApiClient(Settings settings)
    : settings_(std::move(settings)), pool_(settings_.helperPath, settings_.poolSize)
{
}

NetApiClient::~NetApiClient()
{
    wipe(password_);
}

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

void NetApiClient::setCredentials(const std::string& account, const std::string& password)
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
    wipe(password_);
    password_ = password;
    ++credentialsVersion_;
}

std::string NetApiClient::credentialsRequest() const
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(settings_.callLimit).count();
    WireWriter w = request(HelperOp::SetCredentials);
    w.text(user_).text(domain_).text(password_).number(static_cast<std::uint32_t>(std::max<long long>(seconds, 1)));
    return w.bytes();
}

std::unique_ptr<NetworkManagement::Hold> NetApiClient::hold(const std::string& server,
                                                                      const std::atomic<bool>* cancel)
{
    if (binding.owner == this)
        return std::make_unique<Hold>(); // already held further up
    return std::make_unique<ThreadHold>(*this, server, cancel);
}

NetStatus NetApiClient::exchange(HelperProcess* helper, const std::string& req, std::string& answer)
{
    if (!helper)
        return ERROR_NOT_ENOUGH_MEMORY;
    std::uint64_t version;
    std::string credentials;
    {
        std::lock_guard lock(credentialsMutex_);
        version = credentialsVersion_;
        if (helper->credentials != version)
            credentials = credentialsRequest();
    }
    if (!credentials.empty()) {
        auto ok = helper->call(credentials, settings_.callLimit);
        wipe(credentials);
        if (!ok)
            return RPC_S_CALL_FAILED;
        helper->credentials = version;
    }
    const auto started = std::chrono::steady_clock::now();
    auto reply = helper->call(req, settings_.callLimit);
    if (!reply) {
        // Killed at its time limit, or died on its own.
        return std::chrono::steady_clock::now() - started >= settings_.callLimit ? RPC_S_SERVER_UNAVAILABLE
                                                                                 : RPC_S_CALL_FAILED;
    }
    answer = std::move(*reply);
    return NERR_Success;
}

NetStatus NetApiClient::call(const std::string& req, std::string& answer)
{
    if (binding.owner == this) {
        if (binding.failure != NERR_Success)
            return binding.failure;
        if (binding.cancel && binding.cancel->load(std::memory_order_acquire))
            return ERROR_CANCELLED;
        // A helper lost during a hold, even between two calls, is replaced
        // for the rest of it.
        if (!binding.helper || binding.helper->diedWhileIdle()) {
            pool_.release(binding.helper);
            binding.helper = pool_.acquire(binding.cancel);
            if (!binding.helper && binding.cancel && binding.cancel->load(std::memory_order_acquire))
                return ERROR_CANCELLED;
        }
        return exchange(binding.helper, req, answer);
    }
    HelperProcess* helper = pool_.acquire();
    NetStatus status = exchange(helper, req, answer);
    pool_.release(helper);
    return status;
}

namespace {

// The first number of an answer is the call's status.
NetStatus statusOf(NetStatus transport, WireReader& in)
{
    if (transport != NERR_Success)
        return transport;
    std::uint32_t status = 0;
    return in.number(status) ? status : RPC_S_CALL_FAILED;
}

template <class Item, class Fill>
NetStatus readList(WireReader& in, NetStatus status, std::vector<Item>& out, Fill fill)
{
    out.clear();
    std::uint32_t count = 0;
    if (!in.number(count))
        return RPC_S_CALL_FAILED;
    for (std::uint32_t i = 0; i < count; ++i) {
        Item item;
        if (!fill(in, item)) {
            out.clear();
            return RPC_S_CALL_FAILED;
        }
        out.push_back(std::move(item));
    }
    return status;
}

} // namespace

NetStatus NetApiClient::NetUserGetInfo(const std::string& server, const std::string& user, USER_INFO_1& info)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::UserGetInfo).text(server).text(user).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    if (transport != NERR_Success)
        return status;
    USER_INFO_1 u;
    if (!in.text(u.usri1_name) || !in.number(u.usri1_password_age) || !in.number(u.usri1_priv)
        || !in.text(u.usri1_home_dir) || !in.text(u.usri1_comment) || !in.number(u.usri1_flags)
        || !in.text(u.usri1_script_path))
        return RPC_S_CALL_FAILED;
    if (status == NERR_Success)
        info = u;
    return status;
}

NetStatus NetApiClient::NetUserSetInfo(const std::string& server, const std::string& user, const USER_INFO_0& info)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::UserSetName).text(server).text(user).text(info.usri0_name).bytes(), answer);
    WireReader in(answer);
    return statusOf(transport, in);
}

NetStatus NetApiClient::NetUserSetInfo(const std::string& server, const std::string& user,
                                                 const USER_INFO_1003& info)
{
    WireWriter req = request(HelperOp::UserSetPassword);
    req.text(server).text(user).text(info.usri1003_password);
    std::string answer;
    NetStatus transport = call(req.bytes(), answer);
    req.wipe();
    WireReader in(answer);
    return statusOf(transport, in);
}

NetStatus NetApiClient::NetUserSetInfo(const std::string& server, const std::string& user,
                                                 const USER_INFO_1008& info)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::UserSetFlags).text(server).text(user).number(info.usri1008_flags).bytes(), answer);
    WireReader in(answer);
    return statusOf(transport, in);
}

NetStatus NetApiClient::NetLocalGroupGetMembers(const std::string& server, const std::string& group,
                                                          std::vector<LOCALGROUP_MEMBERS_INFO_3>& members)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::LocalGroupGetMembers).text(server).text(group).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    members.clear();
    if (transport != NERR_Success)
        return status;
    return readList(in, status, members, [](WireReader& r, LOCALGROUP_MEMBERS_INFO_3& m) { return r.text(m.lgrmi3_domainandname); });
}

NetStatus NetApiClient::NetUserGetLocalGroups(const std::string& server, const std::string& user,
                                                        std::uint32_t flags,
                                                        std::vector<LOCALGROUP_USERS_INFO_0>& groups)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::UserGetLocalGroups).text(server).text(user).number(flags).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    groups.clear();
    if (transport != NERR_Success)
        return status;
    return readList(in, status, groups, [](WireReader& r, LOCALGROUP_USERS_INFO_0& g) { return r.text(g.lgrui0_name); });
}

NetStatus NetApiClient::NetQueryDisplayInformation(const std::string& server, std::uint32_t index,
                                                             std::uint32_t requested,
                                                             std::vector<NET_DISPLAY_MACHINE>& entries)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::QueryDisplayMachines).text(server).number(index).number(requested).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    entries.clear();
    if (transport != NERR_Success)
        return status;
    return readList(in, status, entries, [](WireReader& r, NET_DISPLAY_MACHINE& m) {
        return r.text(m.usri2_name) && r.text(m.usri2_comment) && r.number(m.usri2_flags) && r.number(m.usri2_user_id)
            && r.number(m.usri2_next_index);
    });
}

NetStatus NetApiClient::NetServerEnum(const std::string& domain, std::uint32_t serverType,
                                                std::vector<SERVER_INFO_101>& servers)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::ServerEnum).text(domain).number(serverType).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    servers.clear();
    if (transport != NERR_Success)
        return status;
    return readList(in, status, servers, [](WireReader& r, SERVER_INFO_101& s) {
        return r.number(s.sv101_platform_id) && r.text(s.sv101_name) && r.number(s.sv101_version_major)
            && r.number(s.sv101_version_minor) && r.number(s.sv101_type) && r.text(s.sv101_comment);
    });
}

NetStatus NetApiClient::DsGetDcName(const std::string& domain, std::uint32_t flags, DOMAIN_CONTROLLER_INFO& info)
{
    std::string answer;
    NetStatus transport = call(request(HelperOp::GetDcName).text(domain).number(flags).bytes(), answer);
    WireReader in(answer);
    NetStatus status = statusOf(transport, in);
    if (transport != NERR_Success)
        return status;
    DOMAIN_CONTROLLER_INFO d;
    if (!in.text(d.DomainControllerName) || !in.text(d.DomainControllerAddress) || !in.text(d.DomainName)
        || !in.text(d.DnsForestName) || !in.number(d.Flags))
        return RPC_S_CALL_FAILED;
    if (status == NERR_Success)
        info = d;
    return status;
}

} // namespace rm
