#include "core/report/HtmlReport.h"

#include "core/report/EnglishTime.h"
#include "core/report/EscapeHtml.h"
#include "core/report/SingleByteText.h"

namespace rm {

HtmlReport::HtmlReport(std::vector<std::string> columns, std::vector<ReportRow> rows, std::string fileStem,
                       std::string title, std::time_t created)
    : columns_(std::move(columns)), rows_(std::move(rows)), fileStem_(std::move(fileStem)), title_(std::move(title)),
      created_(created)
{
}

std::string HtmlReport::defaultFileName() const
{
    return fileStem_ + " " + reportTimeText(created_) + ".html";
}

std::string HtmlReport::pageText() const
{
    std::string page = "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                       "<HTML>\n"
                       "<HEAD><TITLE>" + title_ + "</TITLE></HEAD>\n"
                       "<BODY>\n"
                       "<H1>" + title_ + "</H1>\n"
                       "<H3>File Generated: " + reportTimeText(created_) + "</H3>\n";
    if (!note_.empty())
        page += "<P>" + escapeHtml(note_) + "</P>\n";
    page += "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"3\">\n"
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

std::string HtmlReport::fileContents() const
{
    return singleByteText(pageText());
}

} // namespace rm
