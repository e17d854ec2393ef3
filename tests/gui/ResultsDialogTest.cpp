#include "gui/dialogs/ResultsDialog.h"
#include "gui/GuiTestSupport.h"
#include "adapters/linux/PosixFileWriter.h"
#include "adapters/qt/QtFileChooser.h"
#include "gui/mainwindow/ListExports.h"
#include "support/Doubles.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <memory>

namespace rm {

class ResultsDialogTest : public QObject {
    Q_OBJECT

    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    PosixFileWriter files;
    FakeShell shell;
    ManualWallClock clock;
    std::unique_ptr<TempDir> dir;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static void click(QWidget* d, int id) { QTest::mouseClick(control<QPushButton>(d, id), Qt::LeftButton); }

    static SearchSummary found(bool groupMode)
    {
        SearchSummary s;
        s.accountName = "R&D";
        s.groupMode = groupMode;
        s.matched = {{"PC3", "Server"}, {"PC1", "Workstation"}};
        s.notMatched = {{"GONE", "Server", true}, {"PC2", "Workstation", false}};
        s.totalFound = 4;
        s.offline = 1;
        s.notExist = 1;
        return s;
    }
    // The export the program gives the dialog, over this test's ports.
    ResultsDialog::Exporter exporter(FileChooser& fileChooser)
    {
        return [this, &fileChooser](ResultsExport which, const SearchSummary& s) {
            exportResults(which, s, {prompter, fileChooser, files, shell, clock});
        };
    }
    static std::string titleOf(const std::string& page)
    {
        const std::size_t from = page.find("<H1>") + 4;
        return page.substr(from, page.find("</H1>") - from);
    }

private slots:
    void initTestCase()
    {
        prepareGuiTest();
        // The report's time texts are local time; UTC makes them known.
        qputenv("TZ", "UTC");
        ::tzset();
    }
    void init()
    {
        prompter = {};
        chooser = {};
        shell = {};
        clock.time = 1796652309;
        dir = std::make_unique<TempDir>();
    }

    void countsAndLabels()
    {
        SearchSummary s;
        s.totalFound = 10;
        s.offline = 3;
        s.notExist = 2;
        s.groupMode = true;
        ResultsDialog d(s, nullptr, nullptr);
        QCOMPARE(d.windowTitle(), QString("Computers Found - Results"));
        QCOMPARE(text(&d, 1071), QString("10"));
        QCOMPARE(text(&d, 1072), QString("3"));
        QCOMPARE(text(&d, 1073), QString("2"));
        QCOMPARE(text(&d, 1053), QString("5"));
        QCOMPARE(text(&d, 1074), QString("Group is empty:"));
        QVERIFY(control<QPushButton>(&d, 1068)->isEnabled());
        d.show();
        saveScreenshot(&d, "results");

        SearchSummary none;
        none.totalFound = 4;
        ResultsDialog clean(none, nullptr, nullptr);
        QCOMPARE(text(&clean, 1074), QString("User doesn't exist:"));
        QVERIFY(!control<QPushButton>(&clean, 1068)->isEnabled());
        click(&clean, 1);
        QCOMPARE(clean.result(), int(QDialog::Accepted));
    }

    // Each button runs its own export, also when its group is empty.
    void buttonsRunTheirExports()
    {
        std::vector<ResultsExport> asked;
        SearchSummary s = found(false);
        s.matched.clear();
        ResultsDialog d(s, [&](ResultsExport e, const SearchSummary& given) {
            QVERIFY(given.accountName == s.accountName && given.matched == s.matched
                    && given.notMatched == s.notMatched);
            asked.push_back(e);
        }, nullptr);
        QVERIFY(control<QPushButton>(&d, 1070)->isEnabled());
        click(&d, 1070);
        click(&d, 1068);
        click(&d, 1069);
        QCOMPARE(asked, (std::vector<ResultsExport>{ResultsExport::Matched, ResultsExport::NotMatched,
                                                     ResultsExport::AllComputers}));
    }

    void exportsWriteTheirListsAndTitles()
    {
        ResultsDialog d(found(true), exporter(chooser), nullptr);
        d.show();
        const auto all = *dir / "all.html", gone = *dir / "gone.html", matched = *dir / "matched.html";
        chooser.answers = {all.string(), gone.string(), matched.string()};
        prompter.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes};
        click(&d, 1069);
        click(&d, 1068);
        click(&d, 1070);
        QCOMPARE(chooser.requests.size(), std::size_t(3));
        QCOMPARE(chooser.requests[0].initialName, std::string("Computers Found 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(chooser.requests[1].initialName, std::string("Computers Not Matched 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(chooser.requests[2].initialName, std::string("Computers Matched 07-Dec-2026 02.05.09 PM.html"));

        const std::string allPage = TempDir::read(all);
        QCOMPARE(titleOf(allPage), std::string("Rostermill - All Computers"));
        QVERIFY(allPage.find("<TH>Local Group &#8220;R&amp;D&#8221;</TH>") != std::string::npos);
        // Matched computers first, then the others, each list in its own order.
        const std::size_t pc3 = allPage.find("<TD>PC3</TD>"), pc1 = allPage.find("<TD>PC1</TD>"),
                          goneRow = allPage.find("<TD>GONE</TD>\r\n<TD>Server</TD>\r\n<TD>Offline</TD>\r\n"
                                                 "<TD>Unknown</TD>"),
                          pc2 = allPage.find("<TD>PC2</TD>\r\n<TD>Workstation</TD>\r\n<TD>Online</TD>\r\n<TD>No</TD>");
        QVERIFY(pc3 < pc1 && pc1 < goneRow && goneRow < pc2 && pc2 != std::string::npos);

        QCOMPARE(titleOf(TempDir::read(gone)),
                 std::string("Rostermill - Computers offline or with an empty local group &#8220;R&amp;D&#8221;"));
        const std::string matchedPage = TempDir::read(matched);
        QCOMPARE(titleOf(matchedPage),
                 std::string("Rostermill - Computers with a non-empty local group &#8220;R&amp;D&#8221;"));
        QVERIFY(matchedPage.find("<TD>GONE</TD>") == std::string::npos);
        QCOMPARE(prompter.shown.size(), std::size_t(3));
        QCOMPARE(prompter.shown[2].title, std::string("Rostermill - List Saved"));
        QCOMPARE(shell.opened, std::vector<std::string>{matched.string()});
        saveRenderedPage(allPage, "results-export-all-computers");
    }

    // The real save dialog, over the results dialog: its one file type, the
    // default name, ".html" added, no question before replacing a file.
    void realSaveDialog()
    {
        QtFileChooser real;
        ResultsDialog d(found(false), exporter(real), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        TempDir::write(*dir / "chosen.html", "an older page");
        QString initialName;
        QStringList filters;
        bool confirmsOverwrite = true;
        QWidget* owner = nullptr;
        QTimer::singleShot(0, &d, [&] {
            auto* f = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(f);
            owner = f->parentWidget();
            filters = f->nameFilters();
            confirmsOverwrite = !f->testOption(QFileDialog::DontConfirmOverwrite);
            initialName = f->selectedFiles().value(0).section('/', -1);
            f->selectFile(QString::fromStdString((*dir / "chosen").string()));
            static_cast<QDialog*>(f)->accept(); // the file dialog's own accept
        });
        prompter.answers = {MessageAnswer::No};
        click(&d, 1069);
        QCOMPARE(owner, static_cast<QWidget*>(&d));
        QCOMPARE(filters, QStringList{"*.html (*.html)"});
        QVERIFY(!confirmsOverwrite);
        QCOMPARE(initialName, QString("Computers Found 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(titleOf(TempDir::read(*dir / "chosen.html")), std::string("Rostermill - All Computers"));
        QCOMPARE(prompter.shown.size(), std::size_t(1));

        // Cancelled: nothing written, nothing asked.
        QTimer::singleShot(0, &d, [&] {
            if (auto* f = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                f->reject();
        });
        click(&d, 1070);
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir->path()), {}), 1);
    }

    void unwritableFileShowsTheStopBox()
    {
        ResultsDialog d(found(false), exporter(chooser), nullptr);
        const std::string path = (*dir / "no folder" / "x.html").string();
        chooser.answers = {path};
        click(&d, 1070);
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(prompter.shown[0],
                 (Message{"Rostermill", path + " was not found.", MessageButtons::Ok, MessageIcon::Stop}));
        QVERIFY(shell.opened.empty());
    }
};

} // namespace rm

QTEST_MAIN(rm::ResultsDialogTest)
#include "ResultsDialogTest.moc"
