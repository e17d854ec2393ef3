#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <sys/types.h>

namespace rm {

// One running helper, spoken to over a socket pair (its descriptor 3). It
// inherits no other descriptor but standard error; its standard input and
// output are /dev/null.
class HelperProcess {
public:
    enum class Role { Helper, Template };
    // Nothing when the program cannot be started. A template is started with
    // every symbol bound, so the helpers it forks need not bind them again.
    static std::unique_ptr<HelperProcess> start(const std::string& path, Role role = Role::Helper);
    // One forked by a template: not this program's child, so it is watched
    // and killed through its process descriptor.
    static std::unique_ptr<HelperProcess> adopt(pid_t pid, int channel, int process);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // One request and its answer within the time limit. On a timeout, a
    // broken channel or a dead helper the helper is killed and nothing returned.
    std::optional<std::string> call(const std::string& request, std::chrono::milliseconds limit);

    // Read by the pool from other threads while the owner calls.
    bool alive() const { return alive_.load(std::memory_order_acquire); }
    // For an idle helper: whether it has died meanwhile (it is then reaped).
    // An idle helper never writes, so anything to read means it is gone.
    bool diedWhileIdle();
    pid_t pid() const { return pid_; }
    // The CPU it has used so far and the time it waited for one, together:
    // what it asked of the machine's cores. Nothing when that cannot be read.
    std::optional<std::chrono::nanoseconds> coreDemand() const;
    // Which credentials this helper holds (the adapter's counter).
    std::uint64_t credentials = 0;
    // The pool's: when it lent this helper out and what the helper had asked
    // of the cores by then (the holder's alone while it holds it), and since
    // when an idle one has waited.
    std::chrono::steady_clock::time_point lentAt, idleSince;
    std::optional<std::chrono::nanoseconds> demandWhenLent;

private:
    friend class HelperTemplate;

    HelperProcess(pid_t pid, int fd, int process) : pid_(pid), fd_(fd), process_(process) {}
    void kill();

    pid_t pid_;
    int fd_;
    int process_; // -1 for a child of this program
    std::atomic<bool> alive_{true};
};

} // namespace rm
