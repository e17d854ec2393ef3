#include "cli/SearchReport.h"

#include "cli/DropReason.h"
#include "cli/Formats.h"
#include "core/report/ComputerCells.h"

#include <nlohmann/json.hpp>

namespace rm {
namespace {

TextRows matchedRows(const SearchReport& report, bool reasonColumn)
{
    TextRows rows;
    std::vector<std::string> heading(ComputerColumnHeaders.begin(), ComputerColumnHeaders.end());
    if (reasonColumn)
        heading.push_back("Reason");
    rows.push_back(heading);
    for (const ComputerRow& r : report.outcome.rows) {
        const ComputerCells cells = computerCells(r);
        rows.emplace_back(cells.begin(), cells.end());
        if (reasonColumn)
            rows.back().emplace_back();
    }
    return rows;
}

} // namespace

std::vector<std::pair<std::string, int>> searchCounts(const SearchCounts& c, AccountKind kind)
{
    return {{"Total Computers Found:", c.totalFound},
            {"Offline:", c.offline},
            {kind == AccountKind::Group ? "Group is empty:" : "User doesn't exist:", c.notExist},
            {"Computers Matched:", c.matched()}};
}

std::string tableText(const SearchReport& report)
{
    std::string out = alignedTable(matchedRows(report, false));
    if (report.withDropped) {
        TextRows dropped{{"Computer Name", "Type", "Reason"}};
        for (const DroppedComputer& d : report.outcome.dropped)
            dropped.push_back({d.computer.name, d.computer.type, dropReasonText(d, report.request)});
        out += "\n" + alignedTable(dropped);
    }
    TextRows counts;
    for (const auto& [label, count] : searchCounts(report.outcome.counts, report.request.kind))
        counts.push_back({label, std::to_string(count)});
    return out + "\n" + alignedTable(counts, false);
}

std::string csvText(const SearchReport& report)
{
    TextRows rows = matchedRows(report, report.withDropped);
    if (report.withDropped)
        for (const DroppedComputer& d : report.outcome.dropped)
            rows.push_back({d.computer.name, d.computer.type, "", "", "", "", dropReasonText(d, report.request)});
    return csvText(rows);
}

std::string jsonText(const SearchReport& report)
{
    using json = nlohmann::ordered_json;
    json doc;
    // Each row names its own built-in administrator; there is no one name.
    switch (report.request.kind) {
    case AccountKind::User:
        doc["account"] = report.request.account;
        doc["mode"] = "user";
        break;
    case AccountKind::Group:
        doc["account"] = report.request.account;
        doc["mode"] = "group";
        break;
    case AccountKind::BuiltinAdministrator:
        doc["mode"] = "builtin-admin";
        break;
    }
    json computers = json::array();
    for (const ComputerRow& r : report.outcome.rows) {
        json row;
        row["computer"] = r.computer.name;
        row["type"] = r.computer.type;
        if (const auto& a = r.account) {
            row["user"] = a->user;
            row["enabled"] = a->enabled;
            row["groups"] = a->groups;
            row["passwordAgeDays"] = a->passwordAgeSeconds / 86400;
            row["rid"] = a->rid;
        }
        computers.push_back(row);
    }
    doc["computers"] = computers;
    if (report.withDropped) {
        json dropped = json::array();
        for (const DroppedComputer& d : report.outcome.dropped)
            dropped.push_back({{"computer", d.computer.name},
                               {"type", d.computer.type},
                               {"reason", dropReasonText(d, report.request)}});
        doc["notMatched"] = dropped;
    }
    const SearchCounts& c = report.outcome.counts;
    doc["counts"] = {{"totalFound", c.totalFound}, {"offline", c.offline}, {"notExist", c.notExist},
                     {"matched", c.matched()}};
    // Names come from the network: bytes that are no UTF-8 become U+FFFD.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace rm
