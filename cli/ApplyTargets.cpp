#include "cli/ApplyTargets.h"

#include "cli/CliOptions.h"
#include "core/ports/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace rm {
namespace {

std::string trimmed(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") + 1 - first);
}

ApplyTargets fromJson(const std::string& text)
{
    using nlohmann::json;
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        throw UsageError("the targets are not a JSON document of search --format json");
    const auto computers = doc.find("computers");
    if (computers == doc.end() || !computers->is_array())
        throw UsageError("the JSON targets have no \"computers\" list");
    ApplyTargets t;
    // Any other kind of "mode" is no group search, not a failure.
    const auto mode = doc.find("mode");
    t.groupMode = mode != doc.end() && mode->is_string() && *mode == "group";
    auto required = [](const json& row, const char* key) {
        const auto it = row.find(key);
        if (it == row.end() || !it->is_string())
            throw UsageError(std::string("a JSON target lacks its \"") + key + "\"");
        return it->get<std::string>();
    };
    for (const json& row : *computers) {
        if (!row.is_object())
            throw UsageError("a JSON target is not an object");
        BatchTarget r;
        r.computer = required(row, "computer");
        r.user = required(row, "user");
        if (r.computer.empty() || r.user.empty())
            throw UsageError("a JSON target has an empty computer or user");
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
        t.rows.push_back(r);
    }
    return t;
}

} // namespace

BatchTarget parseTarget(const std::string& given, const std::string& defaultUser)
{
    // Two leading backslashes are how a server is named; they are not the
    // split. Stripped in a loop: a line of them must not nest a call each.
    std::size_t from = 0;
    while (given.compare(from, 2, "\\\\") == 0)
        from += 2;
    const std::string text = given.substr(from);
    BatchTarget r;
    const std::size_t split = text.find_first_of("\\/");
    r.computer = text.substr(0, split);
    r.user = split == std::string::npos ? defaultUser : text.substr(split + 1);
    if (r.computer.empty())
        throw UsageError("target \"" + text + "\" names no computer");
    if (r.user.empty())
        throw UsageError("target \"" + text + "\" names no account (COMPUTER\\ACCOUNT, or give --user)");
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
    for (const BatchTarget& r : targets.rows) {
        bool seen = false;
        for (const BatchTarget& k : kept)
            seen = seen || (equalsIgnoringCase(k.computer, r.computer) && equalsIgnoringCase(k.user, r.user));
        if (!seen)
            kept.push_back(r);
    }
    targets.rows = std::move(kept);
}

} // namespace rm
