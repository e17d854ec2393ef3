#include "cli/Notices.h"

#include "cli/Formats.h"

#include <ostream>

namespace rm {

std::string oneLine(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank && (out.empty() || out.back() == ' '))
            continue;
        out += blank ? ' ' : c;
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return terminalText(out);
}

void tell(std::ostream& err, const Message& message)
{
    err << message.title << ": " << oneLine(message.text) << std::endl;
}

} // namespace rm
