#include "gui/dialogs/LivenessTexts.h"

#include <charconv>
#include <cstdio>

namespace rm {

std::string livenessStatusText(const LivenessProgress& l)
{
    char text[128];
    switch (l.phase) {
    case LivenessProgress::Phase::Starting:
        return "Initializing ...";
    case LivenessProgress::Phase::Resolving:
        if (!l.resolutionCounted)
            return "Resolving hostnames ...";
        std::snprintf(text, sizeof text, "%d hostnames resolved, resolving %d currently, %zu left ...", l.resolved,
                      l.resolving, l.unresolved);
        return text;
    case LivenessProgress::Phase::Pinging:
        std::snprintf(text, sizeof text, "Ping scanning, round %d ...", l.round);
        return text;
    case LivenessProgress::Phase::Probing:
        std::snprintf(text, sizeof text, "Connecting to port 445: %zu of %zu ...", l.probed, l.toProbe);
        return text;
    }
    return {};
}

std::string livenessElapsedText(const LivenessProgress& l)
{
    if (l.round == 0)
        return "---";
    // Not printf: the window's toolkit sets the C library's locale, which
    // would make the point a comma.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, l.elapsedMs / 1000.0, std::chars_format::fixed, 1).ptr;
    return std::string(text, end) + " seconds";
}

} // namespace rm
