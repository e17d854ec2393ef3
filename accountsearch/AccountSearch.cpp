#include "accountsearch/AccountSearch.h"

#include "accountsearch/AccountCheck.h"

#include <chrono>

namespace rm {

AccountSearch::AccountSearch(std::vector<std::string> computerNames, std::string accountName, Services services)
    : computerNames_(std::move(computerNames)), accountName_(std::move(accountName)), s_(services),
      results_(computerNames_.size()), startTime_(services.clock.now())
{
}

AccountSearch::~AccountSearch()
{
    if (coordinator_.joinable())
        coordinator_.join();
}

void AccountSearch::start()
{
    coordinator_ = std::thread([this] { coordinate(); });
}

void AccountSearch::coordinate()
{
    auto slots = std::make_unique<CheckSlot[]>(SlotCount);
    std::size_t nextIndex = 0;
    std::uint32_t completed = 0;
    const std::size_t total = computerNames_.size();
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
            if (nextIndex < total && !cancelRequested_.load(std::memory_order_acquire)) {
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
                    [mine, network] {
                        {
                            auto hold = network->hold();
                            checkComputer(*network, *mine->computerName, *mine->accountName, mine->groupMode,
                                          *mine->result);
                        }
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
            s_.notifyWindow.post(MessageProgress, completed, static_cast<std::intptr_t>(total));
        if (allIdle)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    finished_.store(true, std::memory_order_release);
    s_.notifyWindow.post(MessageFinished, 0, 0);
}

} // namespace rm
