#include "platform/samba/HelperPool.h"

#include <algorithm>

namespace rm {

HelperPool::HelperPool(std::string helperPath, std::size_t maxHelpers)
    : path_(std::move(helperPath)), max_(std::max<std::size_t>(maxHelpers, 1))
{
}

HelperPool::~HelperPool() = default;

HelperProcess* HelperPool::acquire()
{
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [&] { return !idle_.empty() || all_.size() + starting_ < max_; });
    if (!idle_.empty()) {
        HelperProcess* h = idle_.back();
        idle_.pop_back();
        return h;
    }
    ++starting_;
    lock.unlock();
    std::unique_ptr<HelperProcess> started = HelperProcess::start(path_);
    lock.lock();
    --starting_;
    if (!started) {
        freed_.notify_one();
        return nullptr;
    }
    all_.push_back(std::move(started));
    return all_.back().get();
}

void HelperPool::release(HelperProcess* helper)
{
    if (!helper)
        return;
    std::unique_ptr<HelperProcess> dead;
    {
        std::lock_guard lock(mutex_);
        if (helper->alive()) {
            idle_.push_back(helper);
        } else {
            auto it = std::find_if(all_.begin(), all_.end(), [&](const auto& p) { return p.get() == helper; });
            if (it != all_.end()) {
                dead = std::move(*it);
                all_.erase(it);
            }
        }
    }
    freed_.notify_one();
}

std::vector<pid_t> HelperPool::pids() const
{
    std::lock_guard lock(mutex_);
    std::vector<pid_t> out;
    for (const auto& h : all_)
        if (h->alive())
            out.push_back(h->pid());
    return out;
}

} // namespace rm
