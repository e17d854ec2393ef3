#include "cli/SearchReport.h"

#include "cli/Formats.h"

#include <nlohmann/json.hpp>

namespace rm {
namespace {

TextRows matchedRows(const SearchReport& report, bool reasonColumn)
{
    TextRows rows;
    std::vector<std::string> heading;
    for (const ComputerColumn& c : ComputerColumns)
        heading.push_back(c.header);
    if (reasonColumn)
        heading.push_back("Reason");
    rows.push_back(heading);
    for (const ComputerRecord& r : report.rows) {
        rows.emplace_back(r.cells.begin(), r.cells.end());
        if (reasonColumn)
            rows.back().emplace_back();
    }
    return rows;
}

// The JSON keys of the six cells.
constexpr const char* CellKeys[] = {"computer", "type", "user", "enabled", "groups", "passwordAge"};

} // namespace

std::vector<std::pair<std::string, int>> searchCounts(const SearchSummary& s)
{
    return {{"Total Computers Found:", s.totalFound},
            {"Offline:", s.offline},
            {s.groupMode ? "Group is empty:" : "User doesn't exist:", s.notExist},
            {"Computers Matched:", s.matchedCount()}};
}

std::string tableText(const SearchReport& report)
{
    std::string out = alignedTable(matchedRows(report, false));
    if (report.withDropped) {
        TextRows dropped{{"Computer Name", "Type", "Reason"}};
        for (const DroppedComputer& d : report.dropped)
            dropped.push_back({d.name, d.type, d.reason});
        out += "\n" + alignedTable(dropped);
    }
    TextRows counts;
    for (const auto& [label, count] : searchCounts(report.summary))
        counts.push_back({label, std::to_string(count)});
    return out + "\n" + alignedTable(counts, false);
}

std::string csvText(const SearchReport& report)
{
    TextRows rows = matchedRows(report, report.withDropped);
    if (report.withDropped)
        for (const DroppedComputer& d : report.dropped)
            rows.push_back({d.name, d.type, "", "", "", "", d.reason});
    return csvText(rows);
}

std::string jsonText(const SearchReport& report)
{
    using json = nlohmann::ordered_json;
    json doc;
    doc["account"] = report.summary.accountName;
    doc["mode"] = report.summary.groupMode ? "group" : "user";
    json computers = json::array();
    for (const ComputerRecord& r : report.rows) {
        json row;
        for (std::size_t c = 0; c < r.cells.size(); ++c)
            row[CellKeys[c]] = r.cells[c];
        computers.push_back(row);
    }
    doc["computers"] = computers;
    if (report.withDropped) {
        json dropped = json::array();
        for (const DroppedComputer& d : report.dropped)
            dropped.push_back({{"computer", d.name}, {"type", d.type}, {"reason", d.reason}});
        doc["notMatched"] = dropped;
    }
    const SearchSummary& s = report.summary;
    doc["counts"] = {{"totalFound", s.totalFound},
                     {"offline", s.offline},
                     {"notExist", s.notExist},
                     {"matched", s.matchedCount()}};
    // Names come from the network: bytes that are no UTF-8 become U+FFFD.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace rm
