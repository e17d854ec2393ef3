#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace rm {
namespace {

std::atomic<bool> flag{false};

void onSignal(int signal)
{
    if (flag.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

void catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interrupted()
{
    return flag.load();
}

} // namespace rm
