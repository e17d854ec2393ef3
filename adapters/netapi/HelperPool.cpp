#include "adapters/netapi/HelperPool.h"

#include <algorithm>

namespace rm {

using namespace std::chrono_literals;

HelperPool::HelperPool(std::string helperPath, std::size_t maxHelpers)
    : path_(std::move(helperPath)), max_(std::max<std::size_t>(maxHelpers, 1)), starter_([this] { startHelpers(); })
{
}

HelperPool::~HelperPool()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    startWanted_.notify_all();
    starter_.join();
}

void HelperPool::startHelpers()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        startWanted_.wait(lock, [&] { return stopping_ || !starts_.empty(); });
        if (stopping_) {
            for (StartRequest* request : starts_)
                request->done = true;
            changed_.notify_all();
            return;
        }
        StartRequest* request = starts_.front();
        starts_.pop_front();
        lock.unlock();
        std::unique_ptr<HelperProcess> helper = startHelper();
        lock.lock();
        request->helper = std::move(helper);
        request->done = true;
        changed_.notify_all();
    }
}

std::unique_ptr<HelperProcess> HelperPool::startHelper()
{
    if (!templateTried_) {
        templateTried_ = true;
        template_ = HelperTemplate::start(path_);
    }
    std::unique_ptr<HelperProcess> helper = template_ ? template_->fork() : nullptr;
    templatePid_.store(template_ ? template_->pid() : 0, std::memory_order_release);
    return helper ? std::move(helper) : HelperProcess::start(path_);
}

std::unique_ptr<HelperProcess> HelperPool::takeOut(HelperProcess* helper)
{
    std::unique_ptr<HelperProcess> out;
    auto it = std::find_if(all_.begin(), all_.end(), [&](const auto& p) { return p.get() == helper; });
    if (it != all_.end()) {
        out = std::move(*it);
        all_.erase(it);
    }
    return out;
}

void HelperPool::dropDeadIdle(std::vector<std::unique_ptr<HelperProcess>>& dead)
{
    for (auto it = idle_.begin(); it != idle_.end();) {
        if ((*it)->diedWhileIdle()) {
            dead.push_back(takeOut(*it));
            it = idle_.erase(it);
        } else {
            ++it;
        }
    }
}

HelperProcess* HelperPool::acquire(const CancelToken* cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->cancelled(); };
    std::vector<std::unique_ptr<HelperProcess>> dead; // ended outside the lock
    std::unique_lock lock(mutex_);
    for (;;) {
        dropDeadIdle(dead);
        if (!idle_.empty()) {
            HelperProcess* helper = idle_.back();
            idle_.pop_back();
            return helper;
        }
        if (all_.size() + starting_ < max_) {
            ++starting_;
            StartRequest request;
            starts_.push_back(&request);
            startWanted_.notify_one();
            changed_.wait(lock, [&] { return request.done; });
            --starting_;
            if (!request.helper)
                return nullptr;
            all_.push_back(std::move(request.helper));
            return all_.back().get();
        }
        if (cancelled() || stopping_)
            return nullptr;
        changed_.wait_for(lock, 50ms);
    }
}

void HelperPool::release(HelperProcess* helper)
{
    if (!helper)
        return;
    std::vector<std::unique_ptr<HelperProcess>> dead;
    {
        std::lock_guard lock(mutex_);
        if (helper->alive())
            idle_.push_back(helper);
        else
            dead.push_back(takeOut(helper));
        dropDeadIdle(dead);
    }
    changed_.notify_one();
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
