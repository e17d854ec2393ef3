#pragma once

#include "core/batch/AccountOperation.h"
#include "core/batch/OperationWorker.h"

#include <array>
#include <string>
#include <vector>

namespace rm {

// The status dialog's nine counts, read once the batch has ended: per
// action (rename, password, enable/disable) succeeded, failed and total.
struct BatchTotals {
    std::array<int, 3> rename{}, password{}, enable{};
    bool cancelled = false;

    static BatchTotals of(const OperationCounters& counters, bool cancelled);
    int failed() const { return rename[1] + password[1] + enable[1]; }
};

// One line per operation, what became of each action asked for.
std::string outcomeText(const std::vector<AccountOperation>& operations);
// What a dry run would do, one line per operation, in the batch's order.
std::string planText(const std::vector<AccountOperation>& operations);
// The nine counts under the status dialog's headings, and its final status.
std::string totalsText(const BatchTotals& totals);

} // namespace rm
