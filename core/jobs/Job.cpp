#include "core/jobs/Job.h"

namespace rm {

Job::Job(Work work) : work_(std::move(work)) {}

Job::~Job()
{
    join();
    // The face's thread: an end notice still waiting finds the job gone.
    *alive_ = false;
}

void Job::start(UiThread& face, std::function<void()> ended)
{
    started_ = true;
    thread_ = std::thread([this, &face, ended = std::move(ended), alive = alive_] {
        work_(cancel_);
        ended_.store(true, std::memory_order_release);
        face.post([ended, alive] {
            if (*alive && ended)
                ended();
        });
    });
}

void Job::join()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace rm
