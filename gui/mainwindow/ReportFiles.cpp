#include "gui/mainwindow/ReportFiles.h"

#include "core/report/FileErrorText.h"
#include "gui/resources/StringTable.h"

namespace rm {

bool ReportFiles::write(const HtmlReport& page, const std::string& path)
{
    const FileFailure failure = s_.files.replaceFile(path, page.fileContents());
    if (failure == FileFailure::None)
        return true;
    s_.prompter.show(
        {loadString(IdsApplicationTitle), fileErrorText(failure, path), MessageButtons::Ok, MessageIcon::Stop});
    return false;
}

void ReportFiles::exportPage(const HtmlReport& page)
{
    const std::optional<std::string> path =
        s_.chooser.chooseSaveFile({page.defaultFileName(), "html", "*.html", "*.html"});
    if (!path || !write(page, *path))
        return;
    if (s_.prompter.show({"Rostermill - List Saved", "List saved.  View list now?", MessageButtons::YesNo,
                          MessageIcon::None})
        == MessageAnswer::Yes)
        s_.shell.open(*path);
}

bool ReportFiles::saveLog(const HtmlReport& page, const std::string& folder)
{
    const std::string path = pathIn(folder, page.defaultFileName());
    if (!write(page, path))
        return false;
    s_.shell.open(path);
    return true;
}

void ReportFiles::journalRefused(const StartedJournal& started)
{
    s_.prompter.show({loadString(IdsApplicationTitle),
                      fileErrorText(started.failure, started.path) + "\n\nNo action was performed.",
                      MessageButtons::Ok, MessageIcon::Stop});
}

Message ReportFiles::foundJournalMessage(const FoundJournal& found)
{
    const std::string title = loadString(IdsApplicationTitle);
    if (found.refusal)
        return {title,
                found.journal + " is not a batch journal Rostermill can read ("
                    + (found.refusal->line ? "line " + std::to_string(found.refusal->line) + ": " : "")
                    + found.refusal->reason + "). It is left as it is.",
                MessageButtons::Ok, MessageIcon::Exclamation};
    if (!found.logWritten())
        return {title, fileErrorText(found.failure, found.log), MessageButtons::Ok, MessageIcon::Stop};
    if (found.interrupted)
        return {title, "A batch of actions did not finish. Its activity log, listing the accounts it reached, is\n"
                           + found.log,
                MessageButtons::Ok, MessageIcon::Exclamation};
    return {title, "The activity log of an earlier batch of actions is\n" + found.log, MessageButtons::Ok,
            MessageIcon::Information};
}

} // namespace rm
