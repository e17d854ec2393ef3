#pragma once

#include "core/batch/BatchRequest.h"

#include <string>
#include <vector>

namespace rm {

// The accounts a batch acts on, as rows of the window's list would give
// them, and whether they came from a search for a group's members.
struct ApplyTargets {
    std::vector<BatchTarget> rows;
    bool groupMode = false;
};

// "COMPUTER\ACCOUNT" or "COMPUTER/ACCOUNT"; a bare "COMPUTER" takes
// `defaultUser`. Throws UsageError.
BatchTarget parseTarget(const std::string& text, const std::string& defaultUser);

// Targets one per line (blank lines and lines starting with '#' skipped),
// or, when the text starts with '{', the JSON document `search` prints (its
// earlier form too, with the enabled state and the groups as texts).
// Throws UsageError naming the line or what is wrong.
ApplyTargets parseTargets(const std::string& text, const std::string& defaultUser);

// The same account of the same computer given twice is acted on once.
void settleTargets(ApplyTargets& targets);

} // namespace rm
