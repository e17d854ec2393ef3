#include "core/report/SingleByteText.h"

namespace rm {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// The character at `i`, advancing `i` past it; one byte that starts no
// well-formed sequence counts as the replacement character.
char32_t nextCharacter(const std::string& s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 1) {
        ++i;
        return lead;
    }
    char32_t c = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    if (length == 0 || i + static_cast<std::size_t>(length) > s.size()) {
        ++i;
        return Replacement;
    }
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return Replacement;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past the last character are not characters.
    const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return Replacement;
    }
    i += static_cast<std::size_t>(length);
    return c;
}

} // namespace

std::string singleByteText(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = nextCharacter(utf8, i);
        if (c == '\n') {
            if (out.empty() || out.back() != '\r')
                out += '\r';
            out += '\n';
        } else if (c <= 0xFF) {
            out += static_cast<char>(c);
        } else {
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ';';
        }
    }
    return out;
}

} // namespace rm
