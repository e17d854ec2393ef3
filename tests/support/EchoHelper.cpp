// A stand-in helper for the pool's own tests: answers on descriptor 3.
// Op 1 echoes its text, op 2 sleeps the given milliseconds first, op 3 dies,
// op 4 answers its open descriptors, one "N file" line each; op 5 its parent's
// pid; op 6 computes for the given milliseconds of CPU first. With the template argument it forks the others, as the real one does.
#include "helper/ForkServer.h"
#include "helper/HelperProtocol.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

std::string openDescriptors()
{
    const std::string listing = "/proc/" + std::to_string(::getpid()) + "/fd";
    std::string lines;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        const auto target = std::filesystem::read_symlink(entry.path(), ec);
        if (!ec && target != listing)
            lines += entry.path().filename().string() + " " + target.string() + "\n";
    }
    return lines;
}

void computeFor(std::chrono::milliseconds cpu)
{
    const auto used = [] {
        timespec t{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
    };
    const auto until = used() + cpu;
    while (used() < until) {}
}

} // namespace

int main(int argc, char** argv)
{
    // It ends with the thread that started it: a template with the pool's,
    // a helper forked with its template.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc > 1 && std::string(argv[1]) == rm::TemplateArgument) {
        rm::serveForks(3);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // a fork does not keep it
    }
    std::string request;
    while (rm::readFrame(3, request)) {
        rm::WireReader in(request);
        std::uint32_t op = 0, value = 0;
        std::string text;
        if (!in.number(op))
            return 1;
        if (op == 3)
            std::abort();
        if (op == 2 && in.number(value))
            std::this_thread::sleep_for(std::chrono::milliseconds(value));
        if (op == 6 && in.number(value))
            computeFor(std::chrono::milliseconds(value));
        in.text(text);
        if (op == 4)
            text = openDescriptors();
        if (op == 5)
            text = std::to_string(::getppid());
        rm::WireWriter out;
        out.number(static_cast<std::uint32_t>(::getpid())).text(text);
        if (!rm::writeFrame(3, out.bytes()))
            return 1;
    }
    return 0;
}
