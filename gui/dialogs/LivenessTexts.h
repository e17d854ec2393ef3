#pragma once

#include "core/search/SearchProgress.h"

#include <string>

namespace rm {

// The ping scan dialog's status line and elapsed-time text for the step's progress.
std::string livenessStatusText(const LivenessProgress& progress);
std::string livenessElapsedText(const LivenessProgress& progress);

} // namespace rm
