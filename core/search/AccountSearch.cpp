#include "core/search/AccountSearch.h"

#include "core/search/AccountCheck.h"

#include <chrono>
#include <memory>

namespace rm {

struct AccountSearch::CheckSlot {
    std::atomic<bool> idle{true};
    const std::string* computerName = nullptr;
    const std::string* accountName = nullptr;
    AccountCheckResult* result = nullptr;
    bool groupMode = false;
};

AccountSearch::AccountSearch(std::vector<std::string> computerNames, std::string accountName, Services services)
    : computerNames_(std::move(computerNames)), accountName_(std::move(accountName)), s_(services),
      results_(computerNames_.size()), startTime_(services.clock.now())
{
}

void AccountSearch::run()
{
    auto slots = std::make_unique<CheckSlot[]>(SlotCount);
    std::size_t nextIndex = 0;
    std::uint32_t completed = 0;
    const std::size_t total = computerNames_.size();
    const std::atomic<bool>& cancel = cancelFlag();
    for (;;) {
        bool changed = false;
        bool allIdle = true;
        for (int i = 0; i < SlotCount; ++i) {
            CheckSlot& slot = slots[i];
            // Acquire: everything the worker wrote is visible once it is idle.
            if (!slot.idle.load(std::memory_order_acquire)) {
                allIdle = false;
                continue;
            }
            if (slot.computerName) {
                slot.computerName = nullptr;
                ++completed;
                changed = true;
            }
            if (nextIndex < total && !cancelRequested()) {
                slot.computerName = &computerNames_[nextIndex];
                slot.result = &results_[nextIndex];
                slot.accountName = &accountName_;
                slot.groupMode = groupMode;
                slot.idle.store(false, std::memory_order_relaxed);
                ++nextIndex;
                changed = true;
                allIdle = false;
                CheckSlot* mine = &slot;
                NetworkManagement* network = &s_.network;
                const bool started = s_.threads.start(
                    [mine, network, &cancel] {
                        checkComputer(*network, *mine->computerName, *mine->accountName, mine->groupMode, cancel,
                                      *mine->result);
                        mine->idle.store(true, std::memory_order_release); // the worker's last write
                    },
                    WorkerStack, ThreadStarter::Priority::BelowNormal);
                if (!started) {
                    // A check that never ran has ended and failed.
                    slot.result->notMatched = true;
                    slot.result->failed = true;
                    slot.idle.store(true, std::memory_order_release);
                }
            }
        }
        if (changed)
            window().post(MessageProgress, completed, static_cast<std::intptr_t>(total));
        if (allIdle)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    finish();
}

} // namespace rm
