// The console's targets reader fed arbitrary text, as lines or as JSON: it
// answers rows or a UsageError and nothing else, and every row it answers
// comes out of the text.
#include "cli/ApplyTargets.h"
#include "cli/CliOptions.h"
#include "core/ports/Text.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

using namespace rm;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<ApplyTargets> read(const std::string& text, const std::string& defaultUser)
{
    try {
        return parseTargets(text, defaultUser);
    } catch (const UsageError&) {
        return std::nullopt;
    }
}

bool isJson(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && text[first] == '{';
}

// Lines: each row's names are pieces of the text, the computer's without a
// separator; a bare computer takes the default account.
void checkLines(const std::string& text, const ApplyTargets& t, const std::string& defaultUser)
{
    check(!t.groupMode);
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    check(t.rows.size() <= lines);
    for (const BatchTarget& r : t.rows) {
        check(!r.computer.empty() && !r.user.empty());
        check(r.computer.find_first_of("\\/") == std::string::npos);
        check(text.find(r.computer) != std::string::npos);
        check(r.user == defaultUser || text.find(r.computer + '\\' + r.user) != std::string::npos
              || text.find(r.computer + '/' + r.user) != std::string::npos);
        check(r.user.find('\n') == std::string::npos && r.computer.find('\n') == std::string::npos);
        check(!r.enabled.has_value() && r.groups.empty());
    }
}

// JSON: one row for each entry of "computers", with its names as given.
void checkJson(const std::string& text, const ApplyTargets& t)
{
    const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    check(!doc.is_discarded() && doc.is_object());
    const nlohmann::json& computers = doc.at("computers");
    check(computers.is_array() && computers.size() == t.rows.size());
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        check(computers[i].at("computer") == t.rows[i].computer);
        check(computers[i].at("user") == t.rows[i].user);
    }
    const auto mode = doc.find("mode");
    check(t.groupMode == (mode != doc.end() && *mode == "group"));
}

// Settled: no account twice, each kept row one of the rows, in their order.
void checkSettled(const ApplyTargets& before)
{
    ApplyTargets after = before;
    settleTargets(after);
    check(after.rows.size() <= before.rows.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < after.rows.size(); ++i) {
        while (from < before.rows.size() && !(before.rows[from] == after.rows[i]))
            ++from;
        check(from < before.rows.size());
        ++from;
        for (std::size_t j = 0; j < i; ++j)
            check(!(equalsIgnoringCase(after.rows[i].computer, after.rows[j].computer)
                    && equalsIgnoringCase(after.rows[i].user, after.rows[j].user)));
    }
}

// Texts of the reader's two forms made from the input's bytes, so that
// the fuzzer reaches documents whose keys hold values of every kind, and
// lines of any length, which whole-text mutation rarely does.
class Source {
public:
    Source(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool empty() const { return at_ >= size_; }
    std::string word()
    {
        static const char* const words[] = {"PC01", "pc01", "Administrator", "user", "group", "Yes", "No", "",
                                            "Administrators, Users", "B\xc3\x9cRO-7", "a/b", "a\\b", " "};
        const std::uint8_t b = byte();
        if (b < 0xF0)
            return words[b % std::size(words)];
        std::string raw;
        for (int n = b - 0xF0; n-- > 0;)
            raw += static_cast<char>(byte());
        return raw;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

nlohmann::json value(Source& in, int depth)
{
    static const char* const keys[] = {"computers", "computer", "user", "mode", "enabled", "groups", "type", "account"};
    const std::uint8_t kind = in.byte() % (depth < 4 ? 8 : 5);
    switch (kind) {
    case 0:
        return nullptr;
    case 1:
        return bool(in.byte() & 1);
    case 2:
        return static_cast<std::int8_t>(in.byte());
    case 3:
        return in.byte() / 7.0;
    case 4:
        return in.word();
    case 5:
    case 6: {
        nlohmann::json array = nlohmann::json::array();
        for (int n = in.byte() % 5; n-- > 0 && !in.empty();)
            array.push_back(value(in, depth + 1));
        return array;
    }
    default: {
        nlohmann::json object = nlohmann::json::object();
        for (int n = in.byte() % 6; n-- > 0 && !in.empty();) {
            const std::uint8_t k = in.byte();
            object[k < 0xF0 ? std::string(keys[k % std::size(keys)]) : in.word()] = value(in, depth + 1);
        }
        return object;
    }
    }
}

std::string generatedJson(Source& in)
{
    nlohmann::json doc = value(in, 0);
    return doc.dump(in.byte() % 3 - 1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Lines of targets, comments and blanks; a line's leading backslash pairs
// may run to tens of thousands.
std::string generatedLines(Source& in)
{
    std::string text;
    for (int n = 1 + in.byte() % 8; n-- > 0 && !in.empty();) {
        const std::uint8_t kind = in.byte();
        if (kind % 4 == 0) {
            text += "#" + in.word();
        } else if (kind % 4 == 1) {
            text += std::string(in.byte() % 3, ' ') + std::string(in.byte() % 2, '\r');
        } else {
            const std::uint8_t run = in.byte();
            text += std::string(2 * (run < 0xF0 ? run % 4 : (run - 0xEF) * 4096), '\\');
            static const char* const separators[] = {"\\", "/", "", "\\\\", "\\/"};
            text += in.word() + separators[in.byte() % std::size(separators)] + in.word();
            text += std::string(in.byte() % 3, kind & 0x80 ? '\t' : ' ');
        }
        text += in.byte() & 1 ? "\r\n" : "\n";
    }
    return text;
}

void checkText(const std::string& text)
{
    const std::string defaultUser = "Administrator";
    const auto withDefault = read(text, defaultUser);
    const auto withoutDefault = read(text, "");
    // Without a default account the same rows or a refusal, never other rows.
    if (withoutDefault) {
        check(withDefault.has_value());
        check(withDefault->rows == withoutDefault->rows && withDefault->groupMode == withoutDefault->groupMode);
    }
    if (!withDefault)
        return;
    if (isJson(text))
        checkJson(text, *withDefault);
    else
        checkLines(text, *withDefault, defaultUser);
    checkSettled(*withDefault);
}

} // namespace

// The input as it is, then the text made from it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkText(std::string(reinterpret_cast<const char*>(data), size));
    Source in(data, size);
    checkText(in.byte() & 1 ? generatedJson(in) : generatedLines(in));
    return 0;
}
