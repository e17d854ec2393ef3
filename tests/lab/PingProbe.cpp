// The ping scan's worker over the real adapters, for a lab test that runs it
// as another user: prints each name to remove on a line of its own, or
// "error:" and the error text.
#include "core/search/PingScanWorker.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"

#include <cstdio>

namespace {

class NoWindow : public rm::Poster {
public:
    void post(int, std::uintptr_t, std::intptr_t) override {}
};

} // namespace

int main(int argc, char** argv)
{
    rm::AddrInfoResolver resolver;
    rm::LinuxIcmpSockets sockets;
    rm::PosixThreadStarter threads;
    rm::SteadyTickClock clock;
    NoWindow window;
    rm::PingScanWorker worker(std::vector<std::string>(argv + 1, argv + argc), {resolver, sockets, threads, clock});
    worker.start(window);
    worker.join();
    if (!worker.errorText().empty())
        std::printf("error:%s\n", worker.errorText().c_str());
    for (const std::string& name : worker.removalList())
        std::printf("%s\n", name.c_str());
    return 0;
}
