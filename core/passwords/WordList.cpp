#include "core/passwords/WordList.h"

#include <unordered_set>

namespace rm {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Well-formed UTF-8 only: no overlong forms, surrogates or values past
// U+10FFFF, which would print differently from what the user reads.
bool isUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        char32_t value, least;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, value = b & 0x1F, least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, value = b & 0x0F, least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, value = b & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (c & 0x3F);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

bool hasControl(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x20 || b == 0x7F)
            return true;
        // U+0080 to U+009F, written C2 80 to C2 9F.
        if (b == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) <= 0x9F)
            return true;
    }
    return false;
}

} // namespace

bool isPassphraseWord(std::string_view word)
{
    if (word.empty() || word.size() > MaximumWordBytes || hasControl(word) || !isUtf8(word))
        return false;
    for (char c : word)
        if (isBlank(c))
            return false;
    return true;
}

std::vector<std::string> readWordList(std::string_view text)
{
    // A byte-order mark, as editors on Windows write one.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string> words;
    std::unordered_set<std::string_view> seen;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && isBlank(line.front()))
            line.remove_prefix(1);
        while (!line.empty() && isBlank(line.back()))
            line.remove_suffix(1);
        if (!isPassphraseWord(line) || !seen.insert(line).second)
            continue;
        words.emplace_back(line);
    }
    return words;
}

} // namespace rm
