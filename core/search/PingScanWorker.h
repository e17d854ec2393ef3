#pragma once

#include "core/search/PingDisplay.h"
#include "core/search/PingSweep.h"
#include "core/jobs/Worker.h"

#include <string>
#include <vector>

namespace rm {

// Runs one ping sweep for the ping scan's window and keeps what it found:
// the names to remove, or why nothing is removed. Ends by posting 1025.
class PingScanWorker : public Worker {
public:
    static constexpr int SilentRoundsTolerated = 8;
    static constexpr std::uint32_t ReplyTimeout = 500;

    static const char* const ResolutionAbortedText;
    static const char* const NoRawSocketText;

    PingScanWorker(std::vector<std::string> names, PingSweep::Services services);

    PingDisplay& display() { return display_; }
    // Whole once `finished` is set.
    const std::vector<std::string>& removalList() const { return removalList_; }
    const std::string& errorText() const { return errorText_; }

protected:
    void run() override;

private:
    const std::vector<std::string> names_;
    PingSweep::Services s_;
    PingDisplay display_;
    std::vector<std::string> removalList_;
    std::string errorText_;
};

} // namespace rm
