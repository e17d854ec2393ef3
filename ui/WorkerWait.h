#pragma once

#include <atomic>
#include <chrono>

namespace rm {

// Blocks the user-interface thread, sleeping in steps, until a worker's flag
// is set: the cancel wait of the progress dialogs. No messages are handled
// meanwhile, so nothing can end the dialog under the wait.
void waitForFlag(const std::atomic<bool>& flag, std::chrono::milliseconds step);

// Waits for a worker thread's end while the user-interface thread keeps
// handling events, so a worker that waits for a message box to be answered
// can still finish.
void waitHandlingEvents(const std::atomic<bool>& ended);

} // namespace rm
