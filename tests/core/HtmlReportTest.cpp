#include "core/ports/Prompter.h"
#include "adapters/linux/PosixFileWriter.h"
#include "core/report/HtmlReport.h"
#include "core/report/EnglishTime.h"
#include "core/report/EscapeHtml.h"
#include "core/report/SingleByteText.h"
#include "support/Doubles.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace rm {
namespace {

constexpr std::time_t December7th2026At140509Utc = 1796652309;

// Local time is UTC while a test runs, so moments have known texts.
class UtcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (savedTz_)
            ::setenv("TZ", savedTz_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> savedTz_;
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
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    PosixFileWriter files;
    FakeShell shell;
    ManualWallClock clock;
    TempDir dir;

    HtmlReportTest() { clock.time = December7th2026At140509Utc; }
    ReportServices owner() { return {prompter, chooser, files, shell, clock}; }
    HtmlReport report(std::vector<ReportRow> rows = {})
    {
        return HtmlReport(owner(), {"Name", "Local User &#8220;A&amp;B&#8221;"}, std::move(rows), "Computer List",
                           "Rostermill - &#8220;x&#8221;");
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
    HtmlReport r = report();
    EXPECT_EQ(r.filePath(), "Computer List 07-Dec-2026 02.05.09 PM.html");
    // The user spends four minutes in the save dialog.
    chooser.onShow = [&] { clock.time += 240; };
    chooser.answers = {(dir / "chosen.html").string()};
    ASSERT_TRUE(r.chooseFile());
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].initialName, "Computer List 07-Dec-2026 02.05.09 PM.html");
    EXPECT_EQ(chooser.requests[0].defaultExtension, "html");
    EXPECT_EQ(chooser.requests[0].filterLabel, "*.html");
    EXPECT_EQ(chooser.requests[0].filterPattern, "*.html");
    EXPECT_EQ(r.filePath(), (dir / "chosen.html").string());
    ASSERT_TRUE(r.write());
    EXPECT_NE(TempDir::read(dir / "chosen.html").find("File Generated: 07-Dec-2026 02.05.09 PM"), std::string::npos);
}

TEST_F(HtmlReportTest, CancelledSaveDialogKeepsTheDefaultName)
{
    HtmlReport r = report();
    EXPECT_FALSE(r.chooseFile());
    EXPECT_EQ(r.filePath(), r.defaultFileName());
}

TEST_F(HtmlReportTest, FileIsCarriageReturnLineFeedOneBytePerCharacter)
{
    HtmlReport r = report({{"M\xC3\xBCller", "\xE2\x82\xAC 5\nnext"}});
    r.setFolder(dir.path().string());
    ASSERT_TRUE(r.write());
    const std::string file = TempDir::read(dir / "Computer List 07-Dec-2026 02.05.09 PM.html");
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

TEST_F(HtmlReportTest, SavingOverAFileReplacesItsContents)
{
    const auto path = dir / "list.html";
    TempDir::write(path, std::string(100000, 'x'));
    chooser.answers = {path.string()};
    HtmlReport r = report();
    ASSERT_TRUE(r.chooseFile());
    ASSERT_TRUE(r.write());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(TempDir::read(path), singleByteText(r.pageText()));
}

TEST_F(HtmlReportTest, UnwritableFileShowsAStopBoxNamingFileAndCause)
{
    const std::string missing = (dir / "no such folder" / "list.html").string();
    chooser.answers = {missing};
    HtmlReport r = report();
    ASSERT_TRUE(r.chooseFile());
    EXPECT_FALSE(r.write());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              (Message{"Rostermill", missing + " was not found.", MessageButtons::Ok, MessageIcon::Stop}));

    // A folder where the file should be: access denied.
    std::filesystem::create_directory(dir / "taken.html");
    prompter = {};
    chooser.answers = {(dir / "taken.html").string()};
    HtmlReport second = report();
    ASSERT_TRUE(second.chooseFile());
    EXPECT_FALSE(second.write());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Access to " + (dir / "taken.html").string() + " was denied.");
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(HtmlReportTest, OpenAsksFirstOnlyWhenTold)
{
    HtmlReport r = report();
    prompter.answers = {MessageAnswer::No};
    r.openInBrowser(true);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], (Message{"Rostermill - List Saved", "List saved.  View list now?",
                                          MessageButtons::YesNo, MessageIcon::None}));
    EXPECT_TRUE(shell.opened.empty());

    prompter.answers = {MessageAnswer::Yes};
    r.openInBrowser(true);
    EXPECT_EQ(shell.opened, std::vector<std::string>{r.filePath()});

    shell.result = 2; // the shell's failure is not looked at
    r.openInBrowser(false);
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(shell.opened.size(), 2u);
}

} // namespace
} // namespace rm
