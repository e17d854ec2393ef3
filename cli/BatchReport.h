#pragma once

#include "core/batch/BatchOutcome.h"
#include "core/batch/BatchPlan.h"

#include <string>

namespace rm {

// One line per account, what became of each action asked for.
std::string outcomeText(const BatchOutcome& outcome);
// What a dry run would do: "N accounts on M computers:", then a line for
// each of the first 20 accounts in the batch's order and how many more.
std::string planText(const BatchPlan& plan);
// The accounts a batch acts on, counted and the first 20 listed, as the
// question and the --yes preamble name them.
std::string targetsText(const std::vector<BatchTarget>& targets);
// The status dialog's nine counts under its headings, and its final status.
std::string totalsText(const BatchCounts& counts, bool cancelled);

} // namespace rm
