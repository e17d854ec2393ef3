#pragma once

#include "core/batch/AccountOperation.h"
#include "core/report/ReportServices.h"

#include <ctime>
#include <string>
#include <vector>

namespace rm {

// The activity log's table: which columns a batch has is decided by its
// first operation; one row per operation, reached by the batch or not.
struct ActivityLogTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

ActivityLogTable activityLogTable(const std::vector<AccountOperation>& operations);

// "%a %d-%b-%Y %I:%M:%S %p" in local time, with English names whatever the locale.
std::string activityLogTime(std::time_t time);

// The batch's log under the report's default name in `folder` (the current
// folder when empty), opened without a question. A log that cannot be
// written is reported by the writer and not opened.
void writeActivityLog(const std::vector<AccountOperation>& operations, ReportServices owner,
                      const std::string& folder);

} // namespace rm
