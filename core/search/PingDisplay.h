#pragma once

#include "core/ports/Poster.h"

#include <mutex>
#include <string>

namespace rm {

// What the ping scan's window shows, changed by the sweep's thread and read
// by the window's: one mutex guards the values and `refreshPosted`, so at
// most one refresh (1026) waits in the window's queue.
class PingDisplay {
public:
    struct Values {
        int pingsSent = 0;
        int repliesReceived = 0;
        std::string elapsedText = "---";
        std::string statusText = "Initializing ...";
        bool operator==(const Values&) const = default;
    };

    // Posts nothing until it has a window.
    void setWindow(Poster* window);

    void countRequestSent();
    void countReply();
    void setElapsedText(std::string text);
    void setStatusText(std::string text);

    // On the window's thread, for a refresh: the values, and the next change
    // posts again.
    Values takeForRefresh();
    Values values();

private:
    void requestRefresh();

    std::mutex mutex_;
    Poster* window_ = nullptr;
    Values values_;
    bool refreshPosted_ = false;
};

} // namespace rm
