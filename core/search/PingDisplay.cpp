#include "core/search/PingDisplay.h"

namespace rm {

void PingDisplay::setWindow(Poster* window)
{
    std::lock_guard lock(mutex_);
    window_ = window;
}

void PingDisplay::requestRefresh()
{
    // Under the mutex: posts never block, and the window clears the flag under it too.
    if (refreshPosted_ || !window_)
        return;
    refreshPosted_ = true;
    window_->post(MessageProgress, 0, 0);
}

void PingDisplay::countRequestSent()
{
    std::lock_guard lock(mutex_);
    ++values_.pingsSent;
    requestRefresh();
}

void PingDisplay::countReply()
{
    std::lock_guard lock(mutex_);
    ++values_.repliesReceived;
    requestRefresh();
}

void PingDisplay::setElapsedText(std::string text)
{
    std::lock_guard lock(mutex_);
    values_.elapsedText = std::move(text);
    requestRefresh();
}

void PingDisplay::setStatusText(std::string text)
{
    std::lock_guard lock(mutex_);
    values_.statusText = std::move(text);
    requestRefresh();
}

PingDisplay::Values PingDisplay::takeForRefresh()
{
    std::lock_guard lock(mutex_);
    refreshPosted_ = false;
    return values_;
}

PingDisplay::Values PingDisplay::values()
{
    std::lock_guard lock(mutex_);
    return values_;
}

} // namespace rm
