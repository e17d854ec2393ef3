#include "core/report/ListExports.h"

#include "core/report/EscapeHtml.h"

namespace rm {
namespace {

// The typed name between typographic quotes, as references.
std::string quoted(const std::string& accountName)
{
    return "&#8220;" + escapeHtml(accountName) + "&#8221;";
}

} // namespace

HtmlReport computerListReport(const std::vector<ComputerCells>& rows, std::time_t created)
{
    std::vector<ReportRow> cells;
    cells.reserve(rows.size());
    for (const ComputerCells& row : rows)
        cells.emplace_back(row.begin(), row.end());
    return HtmlReport({"Computer", "Computer Type", "User Name", "Account Enabled", "Local Groups", "Password Age"},
                      std::move(cells), "Computer List", "Rostermill - Computer List", created);
}

HtmlReport resultsReport(ResultsExport which, const SearchRequest& request, const SearchOutcome& outcome,
                         std::time_t created)
{
    const bool group = request.kind == AccountKind::Group;
    const std::string account = quoted(request.account);
    std::vector<ReportRow> rows;
    if (which != ResultsExport::NotMatched)
        for (const FoundComputer& c : outcome.matched)
            rows.push_back({c.name, c.type, "Online", "Yes"});
    if (which != ResultsExport::Matched)
        for (const DroppedComputer& d : outcome.dropped)
            rows.push_back({d.computer.name, d.computer.type, d.offline() ? "Offline" : "Online",
                            d.offline() ? "Unknown" : "No"});

    std::string stem, title;
    switch (which) {
    case ResultsExport::AllComputers:
        stem = "Computers Found";
        title = "Rostermill - All Computers";
        break;
    case ResultsExport::NotMatched:
        stem = "Computers Not Matched";
        title = std::string("Rostermill - Computers offline or ")
              + (group ? "with an empty local group " : "without a local user ") + account;
        break;
    case ResultsExport::Matched:
        stem = "Computers Matched";
        title = std::string("Rostermill - Computers with a ") + (group ? "non-empty local group " : "local user ")
              + account;
        break;
    }
    return HtmlReport({"Computer", "Computer Type", "Status", (group ? "Local Group " : "Local User ") + account},
                      std::move(rows), stem, title, created);
}

} // namespace rm
