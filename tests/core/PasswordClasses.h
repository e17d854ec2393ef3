#pragma once

#include "core/passwords/PasswordOptions.h"

namespace rm {

// Password options choosing these character classes.
inline PasswordOptions classes(bool lower, bool upper, bool numerals, bool symbols, bool noSimilar = false)
{
    PasswordOptions o;
    o.lowercase = lower;
    o.uppercase = upper;
    o.numerals = numerals;
    o.symbols = symbols;
    o.noSimilar = noSimilar;
    return o;
}

} // namespace rm
