#pragma once

#include "core/report/ReportServices.h"

#include <ctime>
#include <string>
#include <vector>

namespace rm {

using ReportRow = std::vector<std::string>;

// One HTML page holding a table: a list export or the activity log. Texts are
// UTF-8. The title and the column titles are written as given, so they may
// hold character references; cells are plain text, escaped here.
//
// Use: construct; optionally chooseFile() (stop when it is false); write()
// (stop when it is false); optionally openInBrowser().
class HtmlReport {
public:
    HtmlReport(ReportServices owner, std::vector<std::string> columns, std::vector<ReportRow> rows,
                std::string fileStem, std::string title);

    // The save dialog on the default name; false when the user cancelled.
    bool chooseFile();
    // Puts the default file name in this folder instead of the current one.
    void setFolder(const std::string& folder);
    // The page to filePath(), replacing what is there. When it cannot be
    // written: a stop box naming the file and the cause, false, and nothing
    // left at filePath() that looks complete.
    [[nodiscard]] bool write();
    // With `ask`, only after Yes to the view question. The shell's answer is
    // not looked at.
    void openInBrowser(bool ask);

    // "<stem> <time text>.html".
    std::string defaultFileName() const;
    const std::string& filePath() const { return filePath_; }
    std::time_t created() const { return created_; }
    // The page as UTF-8 text with "\n" line ends; write() encodes it.
    std::string pageText() const;

private:
    ReportServices owner_;
    std::vector<std::string> columns_;
    std::vector<ReportRow> rows_;
    std::string fileStem_;
    std::string title_;
    std::time_t created_;
    std::string filePath_;
};

} // namespace rm
