#include "adapters/netapi/HelperPool.h"

#include <algorithm>

namespace rm {

using namespace std::chrono_literals;

namespace {

// How long a helper beyond the steady number may sit idle, and how often
// the pool looks.
constexpr auto IdleLimit = 30s;
constexpr auto IdleCheck = 5s;

} // namespace

HelperPool::HelperPool(std::string helperPath, std::size_t helpers) : HelperPool(std::move(helperPath), helpers, helpers, 1)
{
}

HelperPool::HelperPool(std::string helperPath, std::size_t steady, std::size_t most, double cores)
    : path_(std::move(helperPath)), steady_(std::clamp<std::size_t>(steady, 1, std::max<std::size_t>(most, 1))),
      max_(std::max<std::size_t>(most, 1)), demand_(cores), starter_([this] { startHelpers(); })
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
        if (!startWanted_.wait_for(lock, IdleCheck, [&] { return stopping_ || !starts_.empty(); })) {
            std::vector<std::unique_ptr<HelperProcess>> retired;
            retireIdle(retired);
            lock.unlock();
            retired.clear();
            lock.lock();
            continue;
        }
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

void HelperPool::retireIdle(std::vector<std::unique_ptr<HelperProcess>>& retired)
{
    // The idle list is a stack: the longest idle are at its bottom.
    const auto now = std::chrono::steady_clock::now();
    while (all_.size() > steady_ && !idle_.empty() && now - idle_.front()->idleSince >= IdleLimit) {
        retired.push_back(takeOut(idle_.front()));
        idle_.erase(idle_.begin());
    }
}

HelperProcess* HelperPool::acquire(const CancelToken* cancel)
{
    HelperProcess* helper = lend(cancel);
    if (helper) {
        helper->lentAt = std::chrono::steady_clock::now();
        helper->cpuWhenLent = helper->cpuTime();
    }
    return helper;
}

HelperProcess* HelperPool::lend(const CancelToken* cancel)
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
        if (all_.size() + starting_ < demand_.worthwhile(steady_, max_)) {
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
        // A cancel is seen within a quarter second; more often, hundreds of
        // waiting callers would cost a core.
        changed_.wait_for(lock, 250ms);
    }
}

void HelperPool::release(HelperProcess* helper)
{
    if (!helper)
        return;
    const auto now = std::chrono::steady_clock::now();
    const std::optional<std::chrono::nanoseconds> cpu = helper->alive() ? helper->cpuTime() : std::nullopt;
    std::vector<std::unique_ptr<HelperProcess>> dead;
    {
        std::lock_guard lock(mutex_);
        if (cpu && helper->cpuWhenLent)
            demand_.record(*cpu - *helper->cpuWhenLent, now - helper->lentAt);
        if (!helper->alive()) {
            dead.push_back(takeOut(helper));
        } else if (all_.size() > demand_.worthwhile(steady_, max_)) {
            // The network got faster or the work heavier: fewer will do.
            dead.push_back(takeOut(helper));
        } else {
            helper->idleSince = now;
            idle_.push_back(helper);
        }
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
