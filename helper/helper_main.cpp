// The network-management helper: one process of the adapter's pool. It
// serves framed requests on descriptor 3 and keeps at most one server
// conversation open. It never prompts and never writes a core file.
#include "core/ports/Wipe.h"
#include "helper/HelperProtocol.h"
#include "helper/browse_client.h"
#include "helper/net_status.h"
#include "helper/samr_client.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using rm::HelperOp;
using rm::WireReader;
using rm::WireWriter;

constexpr int Channel = 3;

// The time limit of one call, as the program set it with the credentials.
unsigned callLimit = 30;

void collectServer(void* context, const rm_server_info101* s)
{
    static_cast<std::vector<rm_server_info101>*>(context)->push_back(*s);
}

void collect(void* context, const char* text)
{
    static_cast<std::vector<std::string>*>(context)->emplace_back(text);
}

void collectMachine(void* context, const rm_display_machine* m)
{
    static_cast<std::vector<rm_display_machine>*>(context)->push_back(*m);
}

// A call that failed part way answers no list, only its status.
void answerList(WireWriter& out, std::uint32_t status, const std::vector<std::string>& texts)
{
    out.number(status).number(status == 0 ? static_cast<std::uint32_t>(texts.size()) : 0);
    for (std::size_t i = 0; status == 0 && i < texts.size(); ++i)
        out.text(texts[i]);
}

// The domain-wide calls: each reads its own arguments and answers.
bool queryMachines(rm_samr* client, WireReader& in, WireWriter& out)
{
    std::string server;
    std::uint32_t index = 0, requested = 0;
    if (!in.text(server) || !in.number(index) || !in.number(requested))
        return false;
    std::vector<rm_display_machine> machines;
    std::uint32_t status = rm_query_display_machines(client, server.c_str(), index, requested, collectMachine, &machines);
    out.number(status).number(static_cast<std::uint32_t>(machines.size()));
    for (const rm_display_machine& m : machines)
        out.text(m.name).text(m.comment).number(m.flags).number(m.user_id).number(m.next_index);
    return true;
}

bool enumServers(rm_samr* client, WireReader& in, WireWriter& out)
{
    std::string domain;
    std::uint32_t types = 0;
    if (!in.text(domain) || !in.number(types))
        return false;
    std::vector<rm_server_info101> servers;
    std::uint32_t status = rm_server_enum(rm_samr_credentials(client), callLimit, domain.c_str(), types, collectServer, &servers);
    out.number(status).number(static_cast<std::uint32_t>(servers.size()));
    for (const rm_server_info101& s : servers)
        out.number(s.platform_id).text(s.name).number(s.version_major).number(s.version_minor)
            .number(s.type).text(s.comment);
    return true;
}

bool getDcName(rm_samr* client, WireReader& in, WireWriter& out)
{
    std::string domain;
    std::uint32_t flags = 0;
    if (!in.text(domain) || !in.number(flags))
        return false;
    rm_dc_info dc{};
    std::uint32_t status = rm_get_dc_name(rm_samr_credentials(client), domain.c_str(), flags, &dc);
    out.number(status).text(dc.controller_name).text(dc.controller_address).text(dc.domain_name)
        .text(dc.forest_name).number(dc.flags);
    return true;
}

bool setCredentials(rm_samr* client, WireReader& in, WireWriter& out)
{
    std::string user, domain, password;
    std::uint32_t seconds = 0;
    bool ok = in.text(user) && in.text(domain) && in.text(password) && in.number(seconds);
    if (ok) {
        out.number(rm_samr_set_credentials(client, user.c_str(), domain.c_str(), password.c_str(), password.size()));
        rm_samr_set_timeout(client, seconds);
        callLimit = seconds;
    }
    rm::wipe(password);
    return ok;
}

// False for a request that cannot be read: the helper then ends.
bool serve(rm_samr* client, const std::string& request, WireWriter& out)
{
    WireReader in(request);
    std::uint32_t op = 0;
    std::string server, name, other;
    std::uint32_t n1 = 0;
    if (!in.number(op))
        return false;
    switch (static_cast<HelperOp>(op)) {
    case HelperOp::SetCredentials:
        return setCredentials(client, in, out);
    case HelperOp::UserGetInfo: {
        if (!in.text(server) || !in.text(name))
            return false;
        rm_user_info1 info{};
        std::uint32_t status = rm_user_get_info1(client, server.c_str(), name.c_str(), &info);
        out.number(status).text(info.name).number(info.password_age).number(info.priv)
            .text(info.home_dir).text(info.comment).number(info.flags).text(info.script_path).number(info.rid);
        return true;
    }
    case HelperOp::UserSetPassword: {
        bool ok = in.text(server) && in.text(name) && in.text(other);
        // As a C string a password holding a NUL would end there, unseen.
        if (ok && other.find('\0') != std::string::npos)
            out.number(RM_INVALID_PARAMETER);
        else if (ok)
            out.number(rm_user_set_password(client, server.c_str(), name.c_str(), other.c_str()));
        rm::wipe(other);
        return ok;
    }
    case HelperOp::UserSetFlags:
        if (!in.text(server) || !in.text(name) || !in.number(n1))
            return false;
        out.number(rm_user_set_flags(client, server.c_str(), name.c_str(), n1));
        return true;
    case HelperOp::UserSetName:
        if (!in.text(server) || !in.text(name) || !in.text(other))
            return false;
        out.number(rm_user_set_name(client, server.c_str(), name.c_str(), other.c_str()));
        return true;
    case HelperOp::UserGetLocalGroups: {
        if (!in.text(server) || !in.text(name) || !in.number(n1))
            return false;
        std::vector<std::string> groups;
        answerList(out, rm_user_get_local_groups(client, server.c_str(), name.c_str(), n1, collect, &groups), groups);
        return true;
    }
    case HelperOp::LocalGroupGetMembers: {
        if (!in.text(server) || !in.text(name))
            return false;
        std::vector<std::string> members;
        answerList(out, rm_local_group_get_members(client, server.c_str(), name.c_str(), collect, &members), members);
        return true;
    }
    case HelperOp::QueryDisplayMachines:
        return queryMachines(client, in, out);
    case HelperOp::ServerEnum:
        return enumServers(client, in, out);
    case HelperOp::GetDcName:
        return getDcName(client, in, out);
    default:
        return false;
    }
}

// Ends the helper the moment the program's end of the channel closes: the
// program has died or let this helper go, during a call as well as between
// calls, and also before this helper started. A parent-death signal would
// not do: it follows the thread that started the helper, and the pool
// starts helpers from calling threads that end long before the program.
void dieWithTheProgram()
{
    std::thread([] {
        pollfd channel{Channel, POLLRDHUP, 0};
        while (::poll(&channel, 1, -1) < 0 && errno == EINTR) {}
        _exit(0);
    }).detach();
}

} // namespace

int main()
{
    dieWithTheProgram();
    // Credentials pass through here: no core file, no tracing by others.
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    signal(SIGPIPE, SIG_IGN);
    // No controlling terminal: no library can prompt for a password.
    setsid();
    // Nothing is ever read from a terminal.
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        close(null);
    }

    rm_samr* client = rm_samr_new();
    if (!client)
        return 1;
    std::string request;
    while (rm::readFrame(Channel, request)) {
        WireWriter answer;
        bool ok = serve(client, request, answer);
        rm::wipe(request);
        if (!ok || !rm::writeFrame(Channel, answer.bytes()))
            break;
        answer.wipe();
    }
    rm_samr_free(client);
    return 0;
}
