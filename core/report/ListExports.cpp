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
    // What was searched for, as the headings and titles name it.
    std::string heading, without, with;
    switch (request.kind) {
    case AccountKind::User:
        heading = "Local User " + quoted(request.account);
        without = "without a local user " + quoted(request.account);
        with = "with a local user " + quoted(request.account);
        break;
    case AccountKind::Group:
        heading = "Local Group " + quoted(request.account);
        without = "with an empty local group " + quoted(request.account);
        with = "with a non-empty local group " + quoted(request.account);
        break;
    case AccountKind::BuiltinAdministrator:
        heading = "Built-in Administrator (any name)";
        without = "without the built-in administrator account";
        with = "with the built-in administrator account";
        break;
    }
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
        title = "Rostermill - Computers offline or " + without;
        break;
    case ResultsExport::Matched:
        stem = "Computers Matched";
        title = "Rostermill - Computers " + with;
        break;
    }
    return HtmlReport({"Computer", "Computer Type", "Status", heading}, std::move(rows), stem, title, created);
}

} // namespace rm
