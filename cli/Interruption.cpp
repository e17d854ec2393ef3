#include "cli/Interruption.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace rm {
namespace {

std::mutex mutex;
std::function<void()> listener;
int pipeEnds[2] = {-1, -1};
std::atomic<int> firstSignal{0};
// The terminal a prompt holds and its settings before.
int heldFd = -1;
termios heldSettings{};

void restoreHeld()
{
    std::lock_guard lock(mutex);
    if (heldFd >= 0)
        ::tcsetattr(heldFd, TCSAFLUSH, &heldSettings);
}

} // namespace

void watchInterruptions()
{
    static const bool started = [] {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            pipeEnds[0] = pipeEnds[1] = -1;
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        // Blocked here and in every thread started later; waited for there.
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::thread([signals] {
            int signal = 0;
            sigwait(&signals, &signal);
            firstSignal = signal;
            if (pipeEnds[1] >= 0)
                (void)!::write(pipeEnds[1], "!", 1);
            {
                std::lock_guard lock(mutex);
                if (listener)
                    listener();
            }
            sigwait(&signals, &signal);
            restoreHeld();
            std::signal(signal, SIG_DFL);
            pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
            ::raise(signal);
        }).detach();
        return true;
    }();
    (void)started;
}

void setInterruptionListener(std::function<void()> call)
{
    std::lock_guard lock(mutex);
    listener = std::move(call);
}

int interruptionDescriptor()
{
    return pipeEnds[0];
}

int interruptionSignal()
{
    return firstSignal;
}

HeldTerminal::HeldTerminal(int fd) : fd_(fd) {}

bool HeldTerminal::silence()
{
    termios saved{};
    if (::tcgetattr(fd_, &saved) != 0)
        return false;
    {
        std::lock_guard lock(mutex);
        heldFd = fd_;
        heldSettings = saved;
    }
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    changed_ = ::tcsetattr(fd_, TCSAFLUSH, &silent) == 0;
    return changed_;
}

HeldTerminal::~HeldTerminal()
{
    if (changed_)
        restoreHeld();
    std::lock_guard lock(mutex);
    if (heldFd == fd_)
        heldFd = -1;
}

} // namespace rm
