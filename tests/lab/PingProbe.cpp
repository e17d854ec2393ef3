// The ping sweep over the real adapters, for a lab test that runs it as
// another user: prints each name to remove on a line of its own, or
// "error:" and the text the user is shown.
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "core/messages/SearchMessages.h"
#include "core/search/PingSweep.h"

#include <cstdio>

int main(int argc, char** argv)
{
    rm::AddrInfoResolver resolver;
    rm::LinuxIcmpSockets sockets;
    rm::PosixThreadStarter threads;
    rm::SteadyTickClock clock;
    rm::Progress<rm::SearchProgress> progress;
    rm::CancelToken cancel;
    rm::LivenessFailure failure = rm::LivenessFailure::None;
    const auto silent = rm::PingSweep({resolver, sockets, threads, clock}, progress, cancel)
                            .run(std::vector<std::string>(argv + 1, argv + argc), failure);
    if (const auto message = rm::livenessFailureMessage(failure))
        std::printf("error:%s\n", message->text.c_str());
    for (const std::string& name : silent)
        std::printf("%s\n", name.c_str());
    return 0;
}
