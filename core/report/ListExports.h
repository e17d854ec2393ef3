#pragma once

#include "core/report/ComputerCells.h"
#include "core/report/HtmlReport.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"

#include <ctime>
#include <vector>

namespace rm {

// The computer list as shown: its six cells, every row top to bottom in the
// list's current order.
HtmlReport computerListReport(const std::vector<ComputerCells>& rows, std::time_t created);

// The three lists of a search the results dialog exports.
enum class ResultsExport { AllComputers, NotMatched, Matched };

// One of them: matched computers before not-matched ones, each in the order
// the search built it.
HtmlReport resultsReport(ResultsExport which, const SearchRequest& request, const SearchOutcome& outcome,
                         std::time_t created);

} // namespace rm
