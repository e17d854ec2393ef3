#include "settings/RegistryFile.h"

#include "core/ports/Text.h"

#include <cstdio>
#include <optional>

namespace rm {
namespace {

const char* const Header = "Windows Registry Editor Version 5.00";

void appendUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit)
{
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// UTF-8 to UTF-16LE; malformed sequences become U+FFFD rather than being dropped.
std::vector<std::uint8_t> toUtf16(const std::string& s)
{
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 0x6 || (c >> 4) == 0xE || (c >> 3) == 0x1E) {
            len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
            std::uint32_t v = c & (0x3F >> (len - 1));
            bool ok = i + len <= s.size();
            for (std::size_t k = 1; ok && k < len; ++k) {
                unsigned char cc = s[i + k];
                ok = (cc >> 6) == 0x2;
                v = (v << 6) | (cc & 0x3F);
            }
            static const std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
            if (ok && v >= minimum[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF))
                cp = v;
            else
                len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUtf16(out, 0xD800 + (cp >> 10));
            appendUtf16(out, 0xDC00 + (cp & 0x3FF));
        } else {
            appendUtf16(out, cp);
        }
        i += len;
    }
    return out;
}

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Reads a quoted string starting at pos; leaves pos after the closing quote.
std::optional<std::string> unquote(const std::string& line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '\\') {
            if (++pos >= line.size())
                return std::nullopt;
            out += line[pos];
        } else if (c == '"') {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<std::uint8_t>> hexBytes(const std::string& s)
{
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i == s.size())
        return out;
    for (;;) {
        skipBlanks();
        if (i + 2 > s.size() || hexDigit(s[i]) < 0 || hexDigit(s[i + 1]) < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hexDigit(s[i]) * 16 + hexDigit(s[i + 1])));
        i += 2;
        skipBlanks();
        if (i == s.size())
            return out;
        if (s[i] != ',')
            return std::nullopt;
        ++i;
    }
}

std::string hexText(const std::vector<std::uint8_t>& data)
{
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", data[i]);
        out += buf;
    }
    return out;
}

std::string trimRight(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

} // namespace

RegistryFile::Value RegistryFile::dword(std::uint32_t number)
{
    Value v;
    v.type = Dword;
    for (int i = 0; i < 4; ++i)
        v.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return v;
}

RegistryFile::Value RegistryFile::text(const std::string& utf8)
{
    Value v;
    v.type = Sz;
    v.data = toUtf16(utf8);
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

bool RegistryFile::textOf(const Value& value, std::string& utf8)
{
    if (value.type != Sz && value.type != ExpandSz)
        return false;
    utf8.clear();
    const auto& d = value.data;
    for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
        std::uint32_t unit = d[i] | (d[i + 1] << 8);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < d.size()) {
            std::uint32_t low = d[i + 2] | (d[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(utf8, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return true;
}

RegistryFile RegistryFile::parse(const std::string& contents)
{
    RegistryFile file;
    std::string text = contents;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(trimRight(text.substr(start, end - start)));
        start = end + 1;
    }

    std::size_t i = 0;
    while (i < lines.size() && lines[i].empty())
        ++i;
    if (i == lines.size() || lines[i] != Header) {
        file.recognised_ = false;
        file.damaged_ = !contents.empty();
        return file;
    }
    for (++i; i < lines.size(); ++i) {
        std::string line = lines[i];
        // Hex data runs on over lines that end in a backslash.
        while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
            line.pop_back();
            line += lines[++i];
        }
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';')
            continue;
        line.erase(0, first);
        if (line.front() == '[') {
            if (line.size() < 3 || line.back() != ']' || line[1] == '-') {
                file.damaged_ = true;
                continue;
            }
            file.createKey(line.substr(1, line.size() - 2));
        } else if (file.keys_.empty() || !file.parseValueLine(line)) {
            file.damaged_ = true;
        }
    }
    return file;
}

bool RegistryFile::parseValueLine(const std::string& line)
{
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else {
        auto n = unquote(line, pos);
        if (!n)
            return false;
        name = *n;
    }
    if (pos >= line.size() || line[pos] != '=')
        return false;
    std::string data = line.substr(pos + 1);

    Value value;
    if (!data.empty() && data[0] == '"') {
        std::size_t p = 0;
        auto s = unquote(data, p);
        if (!s || p != data.size())
            return false;
        value = text(*s);
    } else if (data.compare(0, 6, "dword:") == 0) {
        std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t n = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0)
                return false;
            n = n * 16 + hexDigit(c);
        }
        value = dword(n);
    } else if (data.compare(0, 3, "hex") == 0) {
        std::size_t colon = data.find(':');
        if (colon == std::string::npos)
            return false;
        std::string kind = data.substr(3, colon - 3);
        value.type = Binary;
        if (!kind.empty()) {
            if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' || kind.size() > 10)
                return false;
            value.type = 0;
            for (std::size_t k = 1; k + 1 < kind.size(); ++k) {
                if (hexDigit(kind[k]) < 0)
                    return false;
                value.type = value.type * 16 + hexDigit(kind[k]);
            }
        }
        auto bytes = hexBytes(data.substr(colon + 1));
        if (!bytes)
            return false;
        value.data = *bytes;
    } else {
        return false;
    }
    set(keys_.back().path, name, value);
    return true;
}

std::string RegistryFile::serialize() const
{
    std::string out = std::string(Header) + "\r\n";
    for (const Key& key : keys_) {
        out += "\r\n[" + key.path + "]\r\n";
        for (const Entry& e : key.entries) {
            out += e.name.empty() ? "@=" : quoted(e.name) + "=";
            std::string s;
            bool plainText = e.value.type == Sz && textOf(e.value, s)
                && e.value.data == text(s).data;
            for (char c : s)
                plainText = plainText && static_cast<unsigned char>(c) >= 0x20;
            if (plainText) {
                out += quoted(s);
            } else if (e.value.type == Dword && e.value.data.size() == 4) {
                char buf[16];
                std::uint32_t n = e.value.data[0] | (e.value.data[1] << 8)
                    | (e.value.data[2] << 16) | (std::uint32_t(e.value.data[3]) << 24);
                std::snprintf(buf, sizeof buf, "dword:%08x", n);
                out += buf;
            } else if (e.value.type == Binary) {
                out += "hex:" + hexText(e.value.data);
            } else {
                char buf[24];
                std::snprintf(buf, sizeof buf, "hex(%x):", e.value.type);
                out += buf + hexText(e.value.data);
            }
            out += "\r\n";
        }
    }
    return out;
}

RegistryFile::Key* RegistryFile::findKey(const std::string& path)
{
    for (Key& k : keys_)
        if (equalsIgnoringCase(k.path, path))
            return &k;
    return nullptr;
}

const RegistryFile::Key* RegistryFile::findKey(const std::string& path) const
{
    return const_cast<RegistryFile*>(this)->findKey(path);
}

bool RegistryFile::hasKey(const std::string& key) const
{
    return findKey(key) != nullptr;
}

void RegistryFile::createKey(const std::string& key)
{
    if (!findKey(key))
        keys_.push_back({key, {}});
    recognised_ = true;
}

const RegistryFile::Value* RegistryFile::find(const std::string& key, const std::string& name) const
{
    const Key* k = findKey(key);
    if (!k)
        return nullptr;
    for (const Entry& e : k->entries)
        if (equalsIgnoringCase(e.name, name))
            return &e.value;
    return nullptr;
}

void RegistryFile::set(const std::string& key, const std::string& name, const Value& value)
{
    createKey(key);
    Key* k = findKey(key);
    for (Entry& e : k->entries) {
        if (equalsIgnoringCase(e.name, name)) {
            e.value = value;
            return;
        }
    }
    k->entries.push_back({name, value});
}

void RegistryFile::merge(const RegistryFile& changes)
{
    for (const Key& key : changes.keys_) {
        createKey(key.path);
        for (const Entry& e : key.entries)
            set(key.path, e.name, e.value);
    }
}

} // namespace rm
