#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace rm {

using ReportRow = std::vector<std::string>;

// One HTML page holding a table: a list export or the activity log. Texts are
// UTF-8. The title and the column titles are written as given, so they may
// hold character references; cells are plain text, escaped here.
class HtmlReport {
public:
    HtmlReport(std::vector<std::string> columns, std::vector<ReportRow> rows, std::string fileStem,
               std::string title, std::time_t created);

    // "<stem> <time text>.html".
    std::string defaultFileName() const;
    std::time_t created() const { return created_; }
    // A line of plain text under the heading; none unless set.
    void setNote(std::string note) { note_ = std::move(note); }
    // The page as UTF-8 text with "\n" line ends.
    std::string pageText() const;
    // The page as its file holds it: one byte a character, CR LF line ends.
    std::string fileContents() const;

private:
    std::vector<std::string> columns_;
    std::vector<ReportRow> rows_;
    std::string fileStem_;
    std::string title_;
    std::time_t created_;
    std::string note_;
};

} // namespace rm
