#pragma once

#include "cli/NoWaitCursor.h"
#include "cli/QueuePoster.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "gui/kit/MemoryDialogControls.h"

#include <thread>

namespace rm {

// The main window's state without a window: its controls and its list in
// memory, its controller driven by the console's commands.
class ConsoleWindow {
    // Only a default-domain lookup is ever waited for, and the console
    // starts none through the controller.
    class SleepingWait : public WorkerWait {
    public:
        void waitFor(const std::atomic<bool>& flag) override
        {
            while (!flag.load(std::memory_order_acquire))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };

    QueuePoster self_;
    NoWaitCursor cursor_;
    SleepingWait wait_;

public:
    ConsoleWindow(MainWindowSettings& settings, Prompter& prompter, MainWindowDialogs& dialogs,
                  CurrentIdentity& identity)
        : controller({controls, list, settings, prompter, self_, dialogs, identity, cursor_, wait_})
    {
    }

    MemoryDialogControls controls;
    MemoryComputerList list;
    MainWindowController controller;
};

} // namespace rm
