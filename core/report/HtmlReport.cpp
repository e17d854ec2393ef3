#include "core/report/HtmlReport.h"

#include "core/report/EnglishTime.h"
#include "core/report/EscapeHtml.h"
#include "core/report/FileErrorText.h"
#include "core/report/SingleByteText.h"
#include "gui/resources/StringTable.h"

namespace rm {

HtmlReport::HtmlReport(ReportServices owner, std::vector<std::string> columns, std::vector<ReportRow> rows,
                         std::string fileStem, std::string title)
    : owner_(owner),
      columns_(std::move(columns)),
      rows_(std::move(rows)),
      fileStem_(std::move(fileStem)),
      title_(std::move(title)),
      created_(owner.clock.now()),
      filePath_(defaultFileName())
{
}

std::string HtmlReport::defaultFileName() const
{
    return fileStem_ + " " + reportTimeText(created_) + ".html";
}

bool HtmlReport::chooseFile()
{
    std::optional<std::string> chosen = owner_.chooser.chooseSaveFile({filePath_, "html", "*.html", "*.html"});
    if (!chosen)
        return false;
    filePath_ = *chosen;
    return true;
}

void HtmlReport::setFolder(const std::string& folder)
{
    filePath_ = folder.empty() || folder.back() == '/' ? folder + defaultFileName() : folder + "/" + defaultFileName();
}

std::string HtmlReport::pageText() const
{
    std::string page = "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                       "<HTML>\n"
                       "<HEAD><TITLE>" + title_ + "</TITLE></HEAD>\n"
                       "<BODY>\n"
                       "<H1>" + title_ + "</H1>\n"
                       "<H3>File Generated: " + reportTimeText(created_) + "</H3>\n"
                       "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"3\">\n"
                       "<TR>\n";
    for (const std::string& column : columns_)
        page += "<TH>" + column + "</TH>\n";
    page += "</TR>\n";
    for (const ReportRow& row : rows_) {
        page += "<TR>\n";
        for (const std::string& cell : row)
            page += "<TD>" + escapeHtml(cell) + "</TD>\n";
        page += "</TR>\n";
    }
    page += "</TABLE>\n</BODY>\n</HTML>\n";
    return page;
}

bool HtmlReport::write()
{
    const FileFailure failure = owner_.files.replaceFile(filePath_, singleByteText(pageText()));
    if (failure == FileFailure::None)
        return true;
    owner_.prompter.show(
        {loadString(IdsApplicationTitle), fileErrorText(failure, filePath_), MessageButtons::Ok, MessageIcon::Stop});
    return false;
}

void HtmlReport::openInBrowser(bool ask)
{
    if (ask && owner_.prompter.show({"Rostermill - List Saved", "List saved.  View list now?", MessageButtons::YesNo,
                                     MessageIcon::None})
                   != MessageAnswer::Yes)
        return;
    owner_.shell.open(filePath_);
}

} // namespace rm
