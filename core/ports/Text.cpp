#include "core/ports/Text.h"

namespace rm {

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toUpperAscii(a[i]) != toUpperAscii(b[i]))
            return false;
    return true;
}

std::string foldedAscii(std::string text)
{
    for (char& c : text)
        c = toUpperAscii(c);
    return text;
}

} // namespace rm
