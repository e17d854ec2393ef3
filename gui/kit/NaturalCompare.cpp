#include "gui/kit/NaturalCompare.h"

#include "core/ports/Text.h"

namespace rm {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Runs without a leading zero: the longer is larger, equal lengths go by
// their first differing digit.
int compareRight(const char* a, const char* b)
{
    int bias = 0;
    for (;; ++a, ++b) {
        const bool endA = !isDigit(*a), endB = !isDigit(*b);
        if (endA && endB)
            return bias;
        if (endA)
            return -1;
        if (endB)
            return +1;
        if (bias == 0 && *a != *b)
            bias = *a < *b ? -1 : +1;
    }
}

// Runs with a leading zero compare digit by digit, as fractions.
int compareLeft(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        const bool endA = !isDigit(*a), endB = !isDigit(*b);
        if (endA && endB)
            return 0;
        if (endA)
            return -1;
        if (endB)
            return +1;
        if (*a != *b)
            return *a < *b ? -1 : +1;
    }
}

} // namespace

int naturalCompare(const std::string& left, const std::string& right)
{
    const char* a = left.c_str();
    const char* b = right.c_str();
    for (;;) {
        while (isSpace(*a))
            ++a;
        while (isSpace(*b))
            ++b;
        char ca = *a, cb = *b;
        if (isDigit(ca) && isDigit(cb)) {
            const int result = (ca == '0' || cb == '0') ? compareLeft(a, b) : compareRight(a, b);
            if (result != 0)
                return result;
        }
        if (ca == 0 && cb == 0)
            return 0;
        ca = toUpperAscii(ca);
        cb = toUpperAscii(cb);
        if (static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb))
            return -1;
        if (static_cast<unsigned char>(ca) > static_cast<unsigned char>(cb))
            return +1;
        ++a;
        ++b;
    }
}

} // namespace rm
