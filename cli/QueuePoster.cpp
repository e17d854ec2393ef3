#include "cli/QueuePoster.h"

namespace rm {

void QueuePoster::post(int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, wParam, lParam});
    }
    posted_.notify_one();
}

std::optional<PostedMessage> QueuePoster::next(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    if (!posted_.wait_for(lock, timeout, [this] { return !queue_.empty(); }))
        return std::nullopt;
    PostedMessage m = queue_.front();
    queue_.pop_front();
    return m;
}

} // namespace rm
