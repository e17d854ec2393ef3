#pragma once

#include <functional>

namespace rm {

// At a prompt, the first Ctrl+C or SIGTERM: the run ends at once.
struct Interrupted {
    int signal;
};

// Ctrl+C and SIGTERM are taken by a thread of their own, started by the
// first call here and living as long as the process: the first signal makes
// interruptionDescriptor() readable and calls the listener; the second
// puts back a terminal a prompt holds and ends the program the way the
// signal does.
void watchInterruptions();
// Called on the signal thread with the first signal; empty to stop.
void setInterruptionListener(std::function<void()> listener);
// Readable once the first signal came, and from then on; -1 before
// watchInterruptions().
int interruptionDescriptor();
// The first signal's number, or 0.
int interruptionSignal();

// A terminal whose settings a prompt changed, put back should the program
// be killed by a second signal while it is held.
class HeldTerminal {
public:
    explicit HeldTerminal(int fd);
    ~HeldTerminal();
    HeldTerminal(const HeldTerminal&) = delete;
    HeldTerminal& operator=(const HeldTerminal&) = delete;
    // Echo off, line ends still shown; false when the descriptor is no terminal.
    bool silence();

private:
    int fd_;
    bool changed_ = false;
};

} // namespace rm
