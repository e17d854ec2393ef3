#include "adapters/netapi/HelperPool.h"

#include <algorithm>

namespace rm {

using namespace std::chrono_literals;

namespace {

// How long a helper beyond the steady number may sit idle, and how often
// the pool looks.
constexpr auto IdleLimit = 30s;
constexpr auto IdleCheck = 5s;
// How long the pool stays as it is after a start beyond the steady number failed.
constexpr auto NoGrowthAfterFailure = 10s;

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
    auto nextIdleCheck = std::chrono::steady_clock::now() + IdleCheck;
    for (;;) {
        const bool wanted = startWanted_.wait_until(lock, nextIdleCheck, [&] { return stopping_ || !starts_.empty(); });
        if (!stopping_ && std::chrono::steady_clock::now() >= nextIdleCheck) {
            nextIdleCheck = std::chrono::steady_clock::now() + IdleCheck;
            std::vector<std::unique_ptr<HelperProcess>> retired;
            retireIdle(retired);
            lock.unlock();
            retired.clear();
            lock.lock();
            continue;
        }
        if (!wanted)
            continue;
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
        helper->demandWhenLent = helper->coreDemand();
    }
    return helper;
}

std::size_t HelperPool::limit() const
{
    const std::size_t worthwhile = demand_.worthwhile(steady_, max_);
    if (std::chrono::steady_clock::now() < noGrowthUntil_)
        return std::min(worthwhile, std::max(steady_, all_.size()));
    return worthwhile;
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
        const std::size_t size = all_.size() + starting_;
        if (size < steady_ || (size < limit() && growth_ > 0)) {
            if (size >= steady_)
                --growth_;
            ++starting_;
            StartRequest request;
            starts_.push_back(&request);
            startWanted_.notify_one();
            changed_.wait(lock, [&] { return request.done; });
            --starting_;
            if (!request.helper && all_.size() >= steady_ && !stopping_) {
                // Beyond the steady number, a start that fails (no descriptor
                // or process left) fails no call: a busy helper is soon free.
                noGrowthUntil_ = std::chrono::steady_clock::now() + NoGrowthAfterFailure;
                continue;
            }
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
    const std::optional<std::chrono::nanoseconds> demand = helper->alive() ? helper->coreDemand() : std::nullopt;
    std::vector<std::unique_ptr<HelperProcess>> dead;
    bool grown = false;
    {
        std::lock_guard lock(mutex_);
        // A helper's first lease carries its start and its first logon too:
        // what growing costs.
        if (demand && helper->demandWhenLent)
            demand_.record(*demand - *helper->demandWhenLent, now - helper->lentAt);
        const std::size_t size = all_.size() + starting_;
        const std::size_t worthwhile = demand_.worthwhile(steady_, max_);
        // Each lease that ends with room to spare lets the pool grow by two,
        // so it doubles with every round of checks at most, and stops as soon
        // as the cores fill: all at once, the starts alone would fill them and
        // starve every check in flight.
        if (demand && helper->demandWhenLent && size < worthwhile) {
            growth_ = std::min(growth_ + 2, max_);
            grown = true;
        }
        if (!helper->alive()) {
            dead.push_back(takeOut(helper));
        } else if (size > worthwhile + worthwhile / 4) {
            // The network got faster or the work heavier: fewer will do. A
            // margin keeps one slower lease from ending helpers just started.
            dead.push_back(takeOut(helper));
        } else {
            helper->idleSince = now;
            idle_.push_back(helper);
        }
        dropDeadIdle(dead);
    }
    // Room to grow is for the callers waiting besides the one this helper serves.
    if (grown)
        changed_.notify_all();
    else
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
