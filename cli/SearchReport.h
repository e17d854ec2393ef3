#pragma once

#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"

#include <string>
#include <utility>
#include <vector>

namespace rm {

// What a search prints: the matched rows with the window's six columns, the
// dropped computers with their reasons (asked for with --all) and the
// results dialog's counts.
struct SearchReport {
    const SearchRequest& request;
    const SearchOutcome& outcome;
    bool withDropped = false;
};

// The four counts with the results dialog's labels, in its order.
std::vector<std::pair<std::string, int>> searchCounts(const SearchCounts& counts, AccountKind kind);

std::string tableText(const SearchReport& report);
// The rows only; the counts go elsewhere (a CSV file is one table).
std::string csvText(const SearchReport& report);
// One document, values typed; `apply` reads it back.
std::string jsonText(const SearchReport& report);

} // namespace rm
