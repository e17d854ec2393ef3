// The network-management helper: one process of the adapter's pool. It
// serves framed requests on descriptor 3 and keeps at most one server
// conversation open. It never prompts and never writes a core file. Started
// with the template argument, it forks the pool's helpers instead.
#include "core/ports/Wipe.h"
#include "helper/ForkServer.h"
#include "helper/HelperProtocol.h"
#include "helper/HelperRequest.h"
#include "helper/browse_client.h"
#include "helper/net_status.h"
#include "helper/samr_client.h"

#include <cerrno>
#include <csignal>
#include <cstring>
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

// What each operation answers, once its request has been read.
void serve(rm_samr* client, const rm::HelperRequest& r, WireWriter& out)
{
    const std::vector<std::string>& t = r.texts;
    const std::vector<std::uint32_t>& n = r.numbers;
    switch (r.op) {
    case HelperOp::SetCredentials: {
        char realm[300] = "";
        if (!t[2].empty())
            rm_realm_of(t[1].c_str(), realm);
        out.number(rm_samr_set_credentials(client, t[0].c_str(), t[1].c_str(), realm, t[2].c_str(), t[2].size(),
                                           (n[1] & rm::RefuseNtlm) != 0));
        rm_samr_set_timeout(client, n[0]);
        callLimit = n[0];
        return;
    }
    case HelperOp::UserGetInfo:
    case HelperOp::UserGetInfoByRid: {
        rm_user_info1 info{};
        std::uint32_t status = r.op == HelperOp::UserGetInfo
                                   ? rm_user_get_info1(client, t[0].c_str(), t[1].c_str(), &info)
                                   : rm_user_get_info1_by_rid(client, t[0].c_str(), n[0], &info);
        out.number(status).text(info.name).number(info.password_age).number(info.priv)
            .text(info.home_dir).text(info.comment).number(info.flags).text(info.script_path).number(info.rid);
        return;
    }
    case HelperOp::UserSetPassword:
        // As a C string a password holding a NUL would end there, unseen.
        out.number(t[2].find('\0') != std::string::npos
                       ? static_cast<std::uint32_t>(RM_INVALID_PARAMETER)
                       : rm_user_set_password(client, t[0].c_str(), t[1].c_str(), t[2].c_str()));
        return;
    case HelperOp::UserSetFlags:
        out.number(rm_user_set_flags(client, t[0].c_str(), t[1].c_str(), n[0]));
        return;
    case HelperOp::UserSetName:
        out.number(rm_user_set_name(client, t[0].c_str(), t[1].c_str(), t[2].c_str()));
        return;
    case HelperOp::UserGetLocalGroups: {
        std::vector<std::string> groups;
        answerList(out, rm_user_get_local_groups(client, t[0].c_str(), t[1].c_str(), n[0], collect, &groups), groups);
        return;
    }
    case HelperOp::LocalGroupGetMembers: {
        std::vector<std::string> members;
        answerList(out, rm_local_group_get_members(client, t[0].c_str(), t[1].c_str(), collect, &members), members);
        return;
    }
    case HelperOp::QueryDisplayMachines: {
        std::vector<rm_display_machine> machines;
        std::uint32_t status = rm_query_display_machines(client, t[0].c_str(), n[0], n[1], collectMachine, &machines);
        out.number(status).number(static_cast<std::uint32_t>(machines.size()));
        for (const rm_display_machine& m : machines)
            out.text(m.name).text(m.comment).number(m.flags).number(m.user_id).number(m.next_index);
        return;
    }
    case HelperOp::ServerEnum: {
        std::vector<rm_server_info101> servers;
        std::uint32_t status = rm_server_enum(callLimit, t[0].c_str(), n[0], collectServer, &servers);
        out.number(status).number(static_cast<std::uint32_t>(servers.size()));
        for (const rm_server_info101& s : servers)
            out.number(s.platform_id).text(s.name).number(s.version_major).number(s.version_minor)
                .number(s.type).text(s.comment);
        return;
    }
    case HelperOp::GetDcName: {
        rm_dc_info dc{};
        std::uint32_t status = rm_get_dc_name(t[0].c_str(), n[0], &dc);
        out.number(status).text(dc.controller_name).text(dc.controller_address).text(dc.domain_name)
            .text(dc.forest_name).number(dc.flags);
        return;
    }
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

int main(int argc, char** argv)
{
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
    // The template holds no credentials and calls nothing: its helpers
    // inherit the libraries loaded and bound, the modules and plugins they
    // load, and all of the above.
    if (argc > 1 && std::strcmp(argv[1], rm::TemplateArgument) == 0) {
        rm_samr_preload();
        rm::serveForks(Channel);
    }
    dieWithTheProgram();

    rm_samr* client = rm_samr_new();
    if (!client)
        return 1;
    std::string frame;
    while (rm::readFrame(Channel, frame)) {
        // A request that cannot be read ends the helper.
        auto request = rm::decodeRequest(frame);
        rm::wipe(frame);
        if (!request)
            break;
        WireWriter answer;
        serve(client, *request, answer);
        request->wipe();
        const bool written = rm::writeFrame(Channel, answer.bytes());
        answer.wipe();
        if (!written)
            break;
    }
    rm_samr_free(client);
    return 0;
}
