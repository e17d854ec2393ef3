#include "core/jobs/ParallelWork.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace rm {
namespace {

// Shared with the threads, which may still hold it when the caller returns.
struct Team {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable allEnded;
    std::size_t running = 0;
};

} // namespace

void workInParallel(ThreadStarter& threads, const ParallelSettings& settings, std::size_t count,
                    const CancelToken& cancel, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& unstarted)
{
    auto team = std::make_shared<Team>();
    auto loop = [team, count, &cancel, &work] {
        for (;;) {
            if (cancel.cancelled())
                break;
            const std::size_t item = team->next.fetch_add(1, std::memory_order_relaxed);
            if (item >= count)
                break;
            work(item);
        }
        // The last use of the caller's references: it may return right after.
        std::lock_guard lock(team->mutex);
        if (--team->running == 0)
            team->allEnded.notify_all();
    };
    std::size_t started = 0;
    while (started < settings.width && team->next.load(std::memory_order_relaxed) < count && !cancel.cancelled()) {
        {
            std::lock_guard lock(team->mutex);
            ++team->running;
        }
        if (threads.start(loop, settings.stackBytes, settings.priority)) {
            ++started;
            continue;
        }
        {
            std::lock_guard lock(team->mutex);
            --team->running;
        }
        const std::size_t item = team->next.fetch_add(1, std::memory_order_relaxed);
        if (item < count)
            unstarted(item);
    }
    std::unique_lock lock(team->mutex);
    team->allEnded.wait(lock, [&] { return team->running == 0; });
}

} // namespace rm
