#include "adapters/linux/PosixThreadStarter.h"

#include <memory>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace rm {
namespace {

struct Job {
    std::function<void()> work;
    bool lower;
};

void* run(void* arg)
{
    std::unique_ptr<Job> job(static_cast<Job*>(arg));
    // Below normal: a thread's own nice value, which Linux keeps per thread.
    if (job->lower)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 2);
    job->work();
    return nullptr;
}

} // namespace

bool PosixThreadStarter::start(std::function<void()> work, std::size_t stackBytes, Priority priority)
{
    auto job = std::make_unique<Job>(Job{std::move(work), priority == Priority::BelowNormal});
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stackBytes)
        pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    const bool started = ::pthread_create(&thread, &attr, run, job.get()) == 0;
    pthread_attr_destroy(&attr);
    if (started)
        job.release();
    return started;
}

} // namespace rm
