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

void ReportFiles::saveLog(const HtmlReport& page, const std::string& folder)
{
    const std::string path = folder.empty()        ? page.defaultFileName()
                             : folder.back() == '/' ? folder + page.defaultFileName()
                                                    : folder + "/" + page.defaultFileName();
    if (write(page, path))
        s_.shell.open(path);
}

} // namespace rm
