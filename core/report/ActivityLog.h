#pragma once

#include "core/batch/BatchOutcome.h"
#include "core/report/HtmlReport.h"

#include <ctime>
#include <string>
#include <vector>

namespace rm {

// The activity log's table: which columns a batch has is decided by its
// actions; one row per account, reached by the batch or not.
struct ActivityLogTable {
    std::vector<std::string> columns;
    std::vector<ReportRow> rows;
};

ActivityLogTable activityLogTable(const BatchOutcome& batch);

// The page of a batch's log, made at `created`.
HtmlReport activityLog(const BatchOutcome& batch, std::time_t created);

// "%a %d-%b-%Y %I:%M:%S %p" in local time, with English names whatever the locale.
std::string activityLogTime(std::time_t time);

} // namespace rm
