#include "gui/mainwindow/ListExports.h"

#include "core/report/EscapeHtml.h"

namespace rm {
namespace {

constexpr int ComputerListColumns = 6;

// The typed name between typographic quotes, as references.
std::string quoted(const std::string& accountName)
{
    return "&#8220;" + escapeHtml(accountName) + "&#8221;";
}

ReportRow matchedRow(const MatchedComputer& c)
{
    return {c.name, c.type, "Online", "Yes"};
}

ReportRow notMatchedRow(const NotMatchedComputer& c)
{
    return {c.name, c.type, c.offline ? "Offline" : "Online", c.offline ? "Unknown" : "No"};
}

} // namespace

HtmlReport computerListReport(const SortableRows& list, ReportServices owner)
{
    std::vector<ReportRow> rows;
    rows.reserve(static_cast<std::size_t>(list.rowCount()));
    for (int r = 0; r < list.rowCount(); ++r) {
        ReportRow row;
        for (int c = 0; c < ComputerListColumns; ++c)
            row.push_back(list.cellText(r, c));
        rows.push_back(std::move(row));
    }
    return HtmlReport(owner,
                       {"Computer", "Computer Type", "User Name", "Account Enabled", "Local Groups", "Password Age"},
                       std::move(rows), "Computer List", "Rostermill - Computer List");
}

HtmlReport resultsReport(ResultsExport which, const SearchSummary& s, ReportServices owner)
{
    const std::string accountColumn = (s.groupMode ? "Local Group " : "Local User ") + quoted(s.accountName);
    std::vector<ReportRow> rows;
    if (which != ResultsExport::NotMatched)
        for (const MatchedComputer& c : s.matched)
            rows.push_back(matchedRow(c));
    if (which != ResultsExport::Matched)
        for (const NotMatchedComputer& c : s.notMatched)
            rows.push_back(notMatchedRow(c));

    std::string stem, title;
    switch (which) {
    case ResultsExport::AllComputers:
        stem = "Computers Found";
        title = "Rostermill - All Computers";
        break;
    case ResultsExport::NotMatched:
        stem = "Computers Not Matched";
        title = std::string("Rostermill - Computers offline or ")
              + (s.groupMode ? "with an empty local group " : "without a local user ") + quoted(s.accountName);
        break;
    case ResultsExport::Matched:
        stem = "Computers Matched";
        title = std::string("Rostermill - Computers with a ") + (s.groupMode ? "non-empty local group " : "local user ")
              + quoted(s.accountName);
        break;
    }
    return HtmlReport(owner, {"Computer", "Computer Type", "Status", accountColumn}, std::move(rows), stem, title);
}

void runExport(HtmlReport& report)
{
    if (report.chooseFile() && report.write())
        report.openInBrowser(true);
}

void exportComputerList(const SortableRows& list, ReportServices owner)
{
    HtmlReport report = computerListReport(list, owner);
    runExport(report);
}

void exportResults(ResultsExport which, const SearchSummary& summary, ReportServices owner)
{
    HtmlReport report = resultsReport(which, summary, owner);
    runExport(report);
}

} // namespace rm
