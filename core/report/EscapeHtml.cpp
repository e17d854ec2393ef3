#include "core/report/EscapeHtml.h"

namespace rm {

std::string escapeHtml(const std::string& text)
{
    // One pass gives what the three replacements in their order give: a
    // produced reference's ampersand is never met again.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace rm
