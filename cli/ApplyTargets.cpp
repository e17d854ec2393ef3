#include "cli/ApplyTargets.h"

#include "cli/CliOptions.h"
#include "core/ports/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <unordered_set>

namespace rm {
namespace {

std::string trimmed(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") + 1 - first);
}

// A target quoted in a message: a whole line of a file may be long.
std::string shortened(const std::string& text)
{
    constexpr std::size_t Shown = 60;
    return text.size() <= Shown ? text : text.substr(0, Shown) + "...";
}

std::size_t lineOf(const std::string& text, std::size_t offset)
{
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size()));
    return 1 + static_cast<std::size_t>(std::count(text.begin(), end, '\n'));
}

BatchTarget fromJsonRow(const nlohmann::json& row)
{
    using nlohmann::json;
    if (!row.is_object())
        throw UsageError("is not an object");
    auto required = [&row](const char* key) {
        const auto it = row.find(key);
        if (it == row.end() || !it->is_string())
            throw UsageError(std::string("lacks its \"") + key + "\"");
        return it->get<std::string>();
    };
    BatchTarget r;
    r.computer = required("computer");
    r.user = required("user");
    if (r.computer.empty() || r.user.empty())
        throw UsageError("has an empty computer or user");
    if (const auto enabled = row.find("enabled"); enabled != row.end()) {
        if (enabled->is_boolean())
            r.enabled = enabled->get<bool>();
        else if (enabled->is_string() && (*enabled == "Yes" || *enabled == "No"))
            r.enabled = *enabled == "Yes";
    }
    if (const auto groups = row.find("groups"); groups != row.end()) {
        if (groups->is_array()) {
            for (const json& g : *groups)
                if (g.is_string())
                    r.groups.push_back(g.get<std::string>());
        } else if (groups->is_string()) {
            const std::string joined = groups->get<std::string>();
            for (std::size_t start = 0; !joined.empty() && start <= joined.size();) {
                const std::size_t end = std::min(joined.find(", ", start), joined.size());
                r.groups.push_back(joined.substr(start, end - start));
                start = end + 2;
            }
        }
    }
    return r;
}

ApplyTargets fromJson(const std::string& text)
{
    using nlohmann::json;
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        throw UsageError("line " + std::to_string(lineOf(text, e.byte == 0 ? 0 : e.byte - 1))
                         + ": the targets are not a JSON document of search --format json");
    }
    if (!doc.is_object())
        throw UsageError("line 1: the targets are not a JSON document of search --format json");
    const auto computers = doc.find("computers");
    if (computers == doc.end() || !computers->is_array())
        throw UsageError("the JSON targets have no \"computers\" list");
    ApplyTargets t;
    const auto mode = doc.find("mode");
    t.groupMode = mode != doc.end() && mode->is_string() && *mode == "group";
    std::size_t number = 0;
    for (const json& row : *computers) {
        ++number;
        try {
            t.rows.push_back(fromJsonRow(row));
        } catch (const UsageError& e) {
            throw UsageError("computer " + std::to_string(number) + " of the JSON targets " + e.what());
        }
    }
    return t;
}

} // namespace

BatchTarget parseTarget(const std::string& text, const std::string& defaultUser)
{
    // Leading backslash pairs are how a server is named; they are not the split.
    std::size_t from = 0;
    while (text.compare(from, 2, "\\\\") == 0)
        from += 2;
    BatchTarget r;
    const std::size_t split = text.find_first_of("\\/", from);
    r.computer = text.substr(from, split == std::string::npos ? std::string::npos : split - from);
    r.user = split == std::string::npos ? defaultUser : text.substr(split + 1);
    if (r.computer.empty())
        throw UsageError("target \"" + shortened(text) + "\" names no computer");
    if (r.user.empty())
        throw UsageError("target \"" + shortened(text) + "\" names no account (COMPUTER\\ACCOUNT, or give --user)");
    return r;
}

ApplyTargets parseTargets(const std::string& text, const std::string& defaultUser)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{')
        return fromJson(text);
    ApplyTargets t;
    std::size_t start = 0, number = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++number;
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        try {
            t.rows.push_back(parseTarget(line, defaultUser));
        } catch (const UsageError& e) {
            throw UsageError("line " + std::to_string(number) + ": " + e.what());
        }
    }
    return t;
}

void settleTargets(ApplyTargets& targets)
{
    std::vector<BatchTarget> kept;
    std::unordered_set<std::string> seen;
    std::unordered_set<std::string> computers;
    for (BatchTarget& r : targets.rows) {
        const std::string computer = foldedAscii(r.computer);
        if (!seen.insert(std::to_string(computer.size()) + ':' + computer + foldedAscii(r.user)).second)
            continue;
        // Two accounts of one computer are a group's members, whatever the source.
        if (!computers.insert(computer).second)
            targets.groupMode = true;
        kept.push_back(std::move(r));
    }
    targets.rows = std::move(kept);
}

} // namespace rm
