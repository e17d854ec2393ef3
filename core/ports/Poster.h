#pragma once

#include <cstdint>

namespace rm {

// Messages a worker or a window posts to a window: queued, never sent, so the
// poster never waits for the receiver.
enum : int { MessageFinished = 1025, MessageProgress = 1026 };

class Poster {
public:
    virtual ~Poster() = default;
    virtual void post(int message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) = 0;
};

} // namespace rm
