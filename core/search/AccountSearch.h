#pragma once

#include "core/search/AccountCheckResult.h"
#include "core/ports/NetworkManagement.h"
#include "core/ports/Threads.h"
#include "core/jobs/Worker.h"

#include <string>
#include <vector>

namespace rm {

// The parallel check of every computer: a coordinator hands the next
// computer to the lowest free of 512 slots, each check on a thread of its
// own, and posts its progress (1026) and its end (1025) to the dialog.
class AccountSearch : public Worker {
public:
    static constexpr int SlotCount = 512;
    static constexpr std::size_t WorkerStack = 131072;

    struct Services {
        NetworkManagement& network;
        ThreadStarter& threads;
        TickClock& clock;
    };

    AccountSearch(std::vector<std::string> computerNames, std::string accountName, Services services);

    bool groupMode = false;

    std::uint32_t startTime() const { return startTime_; }
    std::size_t computerCount() const { return computerNames_.size(); }
    // Read only once the search has finished.
    const std::vector<AccountCheckResult>& results() const { return results_; }

protected:
    // The coordinator.
    void run() override;

private:
    struct CheckSlot;

    const std::vector<std::string> computerNames_;
    const std::string accountName_;
    Services s_;
    std::vector<AccountCheckResult> results_;
    std::uint32_t startTime_;
};

} // namespace rm
