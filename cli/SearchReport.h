#pragma once

#include "core/search/SearchSummary.h"
#include "cli/CliOptions.h"
#include "gui/mainwindow/ComputerRecord.h"

#include <string>
#include <vector>

namespace rm {

// A computer the search dropped, and why.
struct DroppedComputer {
    std::string name;
    std::string type;
    std::string reason;
};

// What a search printed: the matched rows as the window's list holds them,
// the dropped computers (only asked for with --all) and the results
// dialog's counts.
struct SearchReport {
    std::vector<ComputerRecord> rows;
    std::vector<DroppedComputer> dropped;
    bool withDropped = false;
    SearchSummary summary;
};

// The four counts with the results dialog's labels, in its order.
std::vector<std::pair<std::string, int>> searchCounts(const SearchSummary& summary);

std::string tableText(const SearchReport& report);
// The rows only; the counts go elsewhere (a CSV file is one table).
std::string csvText(const SearchReport& report);
// One document; `apply` reads it back.
std::string jsonText(const SearchReport& report);

} // namespace rm
