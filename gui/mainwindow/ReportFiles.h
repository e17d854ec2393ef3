#pragma once

#include "core/ports/FileChooser.h"
#include "core/ports/FileWriter.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "core/report/BatchRecord.h"
#include "core/report/HtmlReport.h"

#include <string>

namespace rm {

// Where the window's pages go. A page that cannot be written is told in a
// stop box naming the file and the cause, and nothing that looks complete
// is left under its name.
class ReportFiles {
public:
    struct Services {
        Prompter& prompter;
        FileChooser& chooser;
        FileWriter& files;
        Shell& shell;
    };

    explicit ReportFiles(Services services) : s_(services) {}

    // A list: the save dialog on its default name (nothing more when
    // cancelled), the page, then the question whether to view it.
    void exportPage(const HtmlReport& page);
    // The activity log: under its default name in `folder` (the current
    // folder when empty), then opened without a question. False when it
    // could not be written.
    bool saveLog(const HtmlReport& page, const std::string& folder);
    // A batch's journal that could not be made: the batch does not start.
    void journalRefused(const StartedJournal& started);
    // What became of a journal an earlier batch left, as the box that says so.
    static Message foundJournalMessage(const FoundJournal& found);

private:
    bool write(const HtmlReport& page, const std::string& path);

    Services s_;
};

} // namespace rm
