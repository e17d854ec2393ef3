#pragma once

#include "accountsearch/AccountCheckResult.h"
#include "platform/NetworkManagement.h"
#include "platform/Poster.h"
#include "platform/Threads.h"

#include <atomic>
#include <memory>
#include <thread>

namespace rm {

// The parallel check of every computer: a coordinator hands the next
// computer to the lowest free of 512 slots, each check on a thread of its
// own, and posts its progress (1026) and its end (1025) to the dialog.
class AccountSearch {
public:
    static constexpr int SlotCount = 512;
    static constexpr std::size_t WorkerStack = 131072;

    struct Services {
        NetworkManagement& network;
        Poster& notifyWindow;
        ThreadStarter& threads;
        TickClock& clock;
    };

    AccountSearch(std::vector<std::string> computerNames, std::string accountName, Services services);
    // Waits for the coordinator, which ends only when no check still runs.
    ~AccountSearch();

    bool groupMode = false;

    void start();
    void requestCancel() { cancelRequested_.store(true, std::memory_order_release); }
    bool isFinished() const { return finished_.load(std::memory_order_acquire); }
    const std::atomic<bool>& finishedFlag() const { return finished_; }
    std::uint32_t startTime() const { return startTime_; }
    std::size_t computerCount() const { return computerNames_.size(); }
    // Read only once the search has finished.
    const std::vector<AccountCheckResult>& results() const { return results_; }

private:
    struct CheckSlot {
        std::atomic<bool> idle{true};
        const std::string* computerName = nullptr;
        const std::string* accountName = nullptr;
        AccountCheckResult* result = nullptr;
        bool groupMode = false;
    };

    void coordinate();

    const std::vector<std::string> computerNames_;
    const std::string accountName_;
    Services s_;
    std::vector<AccountCheckResult> results_;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> finished_{false};
    std::uint32_t startTime_;
    std::thread coordinator_;
};

} // namespace rm
