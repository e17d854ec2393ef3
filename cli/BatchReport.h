#pragma once

#include "core/batch/BatchOutcome.h"
#include "core/batch/BatchPlan.h"

#include <string>

namespace rm {

// One line per account, what became of each action asked for.
std::string outcomeText(const BatchOutcome& outcome);
// What a dry run would do, one line per account, in the batch's order.
std::string planText(const BatchPlan& plan);
// The status dialog's nine counts under its headings, and its final status.
std::string totalsText(const BatchCounts& counts, bool cancelled);

} // namespace rm
