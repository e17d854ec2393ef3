#include "cli/Formats.h"

#include <algorithm>
#include <string_view>

namespace rm {
namespace {

// The next code point of `s` from `i`, or -1 for a byte that starts none.
long nextCodePoint(const std::string& s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > s.size()) {
        ++i;
        return -1;
    }
    long cp = length == 1 ? b : b & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return cp;
}

bool combining(long cp)
{
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) || (cp >= 0x1DC0 && cp <= 0x1DFF)
        || (cp >= 0x20D0 && cp <= 0x20FF) || (cp >= 0xFE20 && cp <= 0xFE2F) || cp == 0x200B || cp == 0x200D;
}

bool wide(long cp)
{
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) || (cp >= 0x3041 && cp <= 0x33FF)
        || (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF)
        || (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F)
        || (cp >= 0xFF00 && cp <= 0xFF60) || (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F)
        || (cp >= 0x20000 && cp <= 0x3FFFD);
}

std::string hex(unsigned value, int digits)
{
    static const char digit[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += digit[(value >> shift) & 0xF];
    return out;
}

} // namespace

std::string terminalText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t from = i;
        const long cp = nextCodePoint(text, i);
        if (cp < 0)
            out += "\\x" + hex(static_cast<unsigned char>(text[from]), 2);
        else if (cp < 0x20 || cp == 0x7F)
            out += "\\x" + hex(static_cast<unsigned>(cp), 2);
        else if (cp >= 0x80 && cp <= 0x9F)
            out += "\\u" + hex(static_cast<unsigned>(cp), 4);
        else
            out.append(text, from, i - from);
    }
    return out;
}

std::size_t displayWidth(const std::string& utf8)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const long cp = nextCodePoint(utf8, i);
        width += cp < 0 ? 1 : combining(cp) ? 0 : wide(cp) ? 2 : 1;
    }
    return width;
}

std::string alignedTable(const TextRows& given, bool underlined)
{
    TextRows rows = given;
    for (auto& row : rows)
        for (auto& cell : row)
            cell = terminalText(cell);
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
    std::string out;
    auto line = [&](const std::vector<std::string>& row) {
        std::string text;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += "  ";
            text += row[c];
            if (c + 1 < row.size())
                text.append(widths[c] - displayWidth(row[c]), ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        line(rows[r]);
        if (r == 0 && underlined) {
            std::vector<std::string> rule;
            for (std::size_t c = 0; c < rows[0].size(); ++c)
                rule.emplace_back(widths[c], '-');
            line(rule);
        }
    }
    return out;
}

std::string csvField(const std::string& given)
{
    // A spreadsheet takes a cell starting so as a formula: a quote first makes it text.
    const bool formula = !given.empty() && std::string_view("=+-@\t\r").find(given.front()) != std::string_view::npos;
    const std::string text = formula ? "'" + given : given;
    const bool quoted = formula || text.find_first_of(",\"\r\n") != std::string::npos
        || (!text.empty() && (text.front() == ' ' || text.back() == ' ' || text.front() == '\t' || text.back() == '\t'));
    if (!quoted)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string csvText(const TextRows& rows)
{
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out += (c ? "," : "") + csvField(row[c]);
        out += "\r\n";
    }
    return out;
}

} // namespace rm
