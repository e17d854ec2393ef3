#pragma once

#include <string>

namespace rm {

// A UTF-8 text as a file of one byte per character: characters up to 255 as
// that byte, the others as numeric character references ("&#8364;"), a
// byte that is not UTF-8 as "&#65533;"; every line end as CR LF.
std::string singleByteText(const std::string& utf8);

} // namespace rm
