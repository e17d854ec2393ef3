#pragma once

#include "core/search/SearchSummary.h"
#include "gui/kit/SortableRows.h"
#include "core/report/HtmlReport.h"

namespace rm {

// The computer list as shown: its six cells, every row top to bottom in the
// list's current order.
HtmlReport computerListReport(const SortableRows& list, ReportServices owner);
// One of the results dialog's lists: matched computers before not-matched
// ones, each in the order the search built it.
HtmlReport resultsReport(ResultsExport which, const SearchSummary& summary, ReportServices owner);
// The save dialog; unless cancelled the page, then the question whether to
// view it.
void runExport(HtmlReport& report);

// The buttons' commands: the report made and run.
void exportComputerList(const SortableRows& list, ReportServices owner);
void exportResults(ResultsExport which, const SearchSummary& summary, ReportServices owner);

} // namespace rm
