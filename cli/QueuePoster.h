#pragma once

#include "core/ports/Poster.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace rm {

struct PostedMessage {
    int message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// The posts of workers for a program without a window: queued by any
// thread, taken by the main thread.
class QueuePoster : public Poster {
public:
    void post(int message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) override;
    // The oldest message, waiting at most `timeout` for one.
    std::optional<PostedMessage> next(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<PostedMessage> queue_;
};

} // namespace rm
