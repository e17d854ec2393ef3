#include "core/report/EnglishTime.h"
#include "core/report/EscapeHtml.h"
#include "core/report/FileErrorText.h"
#include "core/report/HtmlReport.h"
#include "core/report/SingleByteText.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <clocale>

namespace rm {
namespace {

constexpr std::time_t December7th2026At140509Utc = 1796652309;

// Local time is UTC while a test runs, so moments have known texts.
class UtcTest : public ::testing::Test {
    TimeZone utc_{"UTC"};
};

TEST(EscapeHtml, ReplacesTheThreeCharactersOnly)
{
    EXPECT_EQ(escapeHtml("a & b < c > d"), "a &amp; b &lt; c &gt; d");
    EXPECT_EQ(escapeHtml("&amp;"), "&amp;amp;");
    EXPECT_EQ(escapeHtml("\"quoted\" 'single'"), "\"quoted\" 'single'");
    EXPECT_EQ(escapeHtml("<&>"), "&lt;&amp;&gt;");
    EXPECT_EQ(escapeHtml(""), "");
}

TEST(SingleByteText, LineEndsBecomeCarriageReturnLineFeed)
{
    EXPECT_EQ(singleByteText("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(singleByteText("\n\n"), "\r\n\r\n");
    EXPECT_EQ(singleByteText("a\r\nb"), "a\r\nb"); // already a line end: not doubled
}

TEST(SingleByteText, CharactersUpTo255AreOneByteTheOthersReferences)
{
    EXPECT_EQ(singleByteText("caf\xC3\xA9"), "caf\xE9");               // é is byte 233
    EXPECT_EQ(singleByteText("\xC3\xBF"), "\xFF");                     // ÿ, the last one-byte character
    EXPECT_EQ(singleByteText("\xC4\x80"), "&#256;");                   // Ā, the first that is not
    EXPECT_EQ(singleByteText("5 \xE2\x82\xAC!"), "5 &#8364;!");        // €
    EXPECT_EQ(singleByteText("\xF0\x9F\x98\x80 end"), "&#128512; end"); // beyond 16 bits
}

TEST(SingleByteText, BrokenSequencesDoNotCutTheTextShort)
{
    EXPECT_EQ(singleByteText("a\xFF" "b"), "a&#65533;b");
    EXPECT_EQ(singleByteText("a\xE2\x82"), "a&#65533;&#65533;");     // cut short at the end
    EXPECT_EQ(singleByteText("\xC0\xAF" "x"), "&#65533;&#65533;x");  // overlong "/"
    EXPECT_EQ(singleByteText("\xED\xA0\x80"), "&#65533;&#65533;&#65533;"); // a surrogate
    EXPECT_EQ(singleByteText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST_F(UtcTest, TimeTextsAreEnglishTwelveHour)
{
    EXPECT_EQ(reportTimeText(December7th2026At140509Utc), "07-Dec-2026 02.05.09 PM");
    EXPECT_EQ(reportTimeText(1767225600), "01-Jan-2026 12.00.00 AM"); // midnight is 12 AM
    EXPECT_EQ(reportTimeText(1767270600), "01-Jan-2026 12.30.00 PM"); // noon is 12 PM
    std::tm t{};
    t.tm_year = 106, t.tm_mon = 2, t.tm_mday = 5, t.tm_wday = 0, t.tm_hour = 14, t.tm_min = 7, t.tm_sec = 9;
    EXPECT_EQ(formatEnglishTime(t, "%a %d-%b-%Y %I:%M:%S %p"), "Sun 05-Mar-2006 02:07:09 PM");
    EXPECT_EQ(formatEnglishTime(t, "100%% %q"), "100% %q");
}

// A German locale, built by the build beside the tests (LOCPATH): the
// system's own time formatting then says "Dez" and no AM/PM.
TEST_F(UtcTest, TimeTextsStayEnglishUnderAGermanLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale de_DE.UTF-8 is missing";
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 7, t.tm_wday = 1, t.tm_hour = 14;
    char german[64];
    std::strftime(german, sizeof german, "%a %b %p", &t);
    const std::string english = reportTimeText(December7th2026At140509Utc);
    const std::string logTime = formatEnglishTime(t, "%a %d-%b-%Y %I:%M:%S %p");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(std::string(german).rfind("Mo Dez", 0), 0u) << german; // the locale is in force
    EXPECT_EQ(english, "07-Dec-2026 02.05.09 PM");
    EXPECT_EQ(logTime, "Mon 07-Dec-2026 02:00:00 PM");
}

class HtmlReportTest : public UtcTest {
protected:
    static HtmlReport report(std::vector<ReportRow> rows = {})
    {
        return HtmlReport({"Name", "Local User &#8220;A&amp;B&#8221;"}, std::move(rows), "Computer List",
                          "Rostermill - &#8220;x&#8221;", December7th2026At140509Utc);
    }
};

TEST_F(HtmlReportTest, PageFormat)
{
    HtmlReport r = report({{"PC1", "a<b>&amp;"}, {"PC2", ""}});
    EXPECT_EQ(r.pageText(),
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
              "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
              "<HTML>\n"
              "<HEAD><TITLE>Rostermill - &#8220;x&#8221;</TITLE></HEAD>\n"
              "<BODY>\n"
              "<H1>Rostermill - &#8220;x&#8221;</H1>\n"
              "<H3>File Generated: 07-Dec-2026 02.05.09 PM</H3>\n"
              "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"3\">\n"
              "<TR>\n<TH>Name</TH>\n<TH>Local User &#8220;A&amp;B&#8221;</TH>\n</TR>\n"
              "<TR>\n<TD>PC1</TD>\n<TD>a&lt;b&gt;&amp;amp;</TD>\n</TR>\n"
              "<TR>\n<TD>PC2</TD>\n<TD></TD>\n</TR>\n"
              "</TABLE>\n</BODY>\n</HTML>\n");
}

TEST_F(HtmlReportTest, NoRowsGivesTheHeaderRowOnly)
{
    const std::string page = report().pageText();
    EXPECT_NE(page.find("<TR>\n<TH>Name</TH>\n<TH>Local User &#8220;A&amp;B&#8221;</TH>\n</TR>\n</TABLE>\n"),
              std::string::npos);
    EXPECT_EQ(page.find("<TD>"), std::string::npos);
}

TEST_F(HtmlReportTest, DefaultNameAndPageKeepTheMomentOfCreation)
{
    const HtmlReport r = report();
    EXPECT_EQ(r.created(), December7th2026At140509Utc);
    EXPECT_EQ(r.defaultFileName(), "Computer List 07-Dec-2026 02.05.09 PM.html");
    EXPECT_NE(r.fileContents().find("File Generated: 07-Dec-2026 02.05.09 PM"), std::string::npos);
}

TEST_F(HtmlReportTest, FileIsCarriageReturnLineFeedOneBytePerCharacter)
{
    const std::string file = report({{"M\xC3\xBCller", "\xE2\x82\xAC 5\nnext"}}).fileContents();
    EXPECT_EQ(file.substr(0, 9), "<!DOCTYPE"); // no byte-order mark
    EXPECT_EQ(file.substr(file.size() - 9), "</HTML>\r\n");
    std::size_t lines = 0;
    for (std::size_t i = 0; i < file.size(); ++i)
        if (file[i] == '\n') {
            ++lines;
            EXPECT_TRUE(i > 0 && file[i - 1] == '\r') << "a bare line feed at " << i;
        }
    EXPECT_EQ(lines, 19u); // 18 of the page, one inside the cell
    EXPECT_NE(file.find("<TD>M\xFCller</TD>"), std::string::npos);
    EXPECT_NE(file.find("<TD>&#8364; 5\r\nnext</TD>"), std::string::npos);
}

TEST(FileErrorText, NamesTheFileAndTheCause)
{
    const std::string path = "/tmp/no such folder/list.html";
    EXPECT_EQ(fileErrorText(FileFailure::NotFound, path), path + " was not found.");
    EXPECT_EQ(fileErrorText(FileFailure::AccessDenied, path), "Access to " + path + " was denied.");
    EXPECT_EQ(fileErrorText(FileFailure::Generic, path), "An unexpected error occurred while accessing " + path + ".");
}

} // namespace
} // namespace rm
