#pragma once

#include <string>
#include <vector>

namespace rm {

struct MatchedComputer {
    std::string name;
    std::string type;
    bool operator==(const MatchedComputer&) const = default;
};

struct NotMatchedComputer {
    std::string name;
    std::string type;
    bool offline = false;
    bool operator==(const NotMatchedComputer&) const = default;
};

// The three lists of a search the results dialog exports.
enum class ResultsExport { AllComputers, NotMatched, Matched };

// What a search found, as the results dialog shows and exports it.
struct SearchSummary {
    std::string accountName;
    std::vector<MatchedComputer> matched;
    std::vector<NotMatchedComputer> notMatched;
    int totalFound = 0;
    int offline = 0;
    int notExist = 0;
    bool groupMode = false;

    // "Computers Matched:": what neither elimination took.
    int matchedCount() const { return totalFound - notExist - offline; }
};

} // namespace rm
