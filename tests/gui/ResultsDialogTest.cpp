#include "adapters/linux/PosixFileWriter.h"
#include "adapters/qt/QtFileChooser.h"
#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/ResultsDialog.h"
#include "gui/dialogs/ResultsDialogIds.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"
#include "gui/mainwindow/ReportFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace rm {

class ResultsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeWindowServices> p;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static void click(QWidget* d, int id) { QTest::mouseClick(control<QPushButton>(d, id), Qt::LeftButton); }
    static std::string titleOf(const std::string& page)
    {
        const std::size_t from = page.find("<H1>") + 4;
        return page.substr(from, page.find("</H1>") - from);
    }
    // A search of the local group "R&D" that found it on PC1 of PC1 and PC2.
    std::unique_ptr<Search> groupSearch()
    {
        FakeNetwork& network = p->net.network;
        network.browseEntries = {{"PC1", BrowseType::ServerNt, 10, 0}, {"PC2", BrowseType::Nt, 10, 0}};
        network.computers["\\\\PC1"].groupMembers["R&D"] = {"PC1\\u"};
        network.computers["\\\\PC1"].accounts["u"] = {};
        network.computers["\\\\PC2"];
        SearchRequest request;
        request.account = "R&D";
        request.kind = AccountKind::Group;
        request.options = {"LAB", false, false, DiscoveryMethod::BrowseList, false, false, ""};
        auto s = std::make_unique<Search>(request, p->net.services());
        Progress<SearchProgress> progress;
        s->discover(progress, CancelToken());
        s->check(progress, CancelToken());
        return s;
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
        p = std::make_unique<FakeWindowServices>();
        p->wallClock.time = 1796652309;
    }

    void countsAndLabels()
    {
        ResultsDialog d({10, 3, 2}, AccountKind::Group, nullptr, nullptr);
        QCOMPARE(d.windowTitle(), QString("Computers Found - Results"));
        QCOMPARE(text(&d, IdTotalFound), QString("10"));
        QCOMPARE(text(&d, IdOfflineCount), QString("3"));
        QCOMPARE(text(&d, IdNotExistCount), QString("2"));
        QCOMPARE(text(&d, IdMatchedCount), QString("5"));
        QCOMPARE(text(&d, IdNotExistLabel), QString("Group is empty:"));
        QVERIFY(control<QPushButton>(&d, IdExportNotMatched)->isEnabled());
        d.show();
        saveScreenshot(&d, "results");

        ResultsDialog clean({4, 0, 0}, AccountKind::User, nullptr, nullptr);
        QCOMPARE(text(&clean, IdNotExistLabel), QString("User doesn't exist:"));
        QVERIFY(!control<QPushButton>(&clean, IdExportNotMatched)->isEnabled());
        click(&clean, IdExportAll); // no exporter: nothing happens
        click(&clean, IdOk);
        QCOMPARE(clean.result(), int(QDialog::Accepted));
    }

    // Each button runs its own export, also when its group is empty.
    void buttonsRunTheirExports()
    {
        std::vector<ResultsExport> asked;
        ResultsDialog d({2, 2, 0}, AccountKind::User, [&](ResultsExport e) { asked.push_back(e); }, nullptr);
        QVERIFY(control<QPushButton>(&d, IdExportMatched)->isEnabled());
        click(&d, IdExportMatched);
        click(&d, IdExportNotMatched);
        click(&d, IdExportAll);
        QCOMPARE(asked, (std::vector<ResultsExport>{ResultsExport::Matched, ResultsExport::NotMatched,
                                                     ResultsExport::AllComputers}));
    }

    // The window's results dialog: each list through the save dialog on its
    // own default name, written, then the question whether to view it.
    void theWindowsExportsGoThroughTheSaveDialog()
    {
        const auto s = groupSearch();
        QtMainWindowDialogs dialogs(nullptr, p->services());
        p->chooser.answers = {"/r/all.html", "/r/gone.html", "/r/matched.html"};
        p->prompter.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes};
        QString counts;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d);
            counts = text(d, IdTotalFound) + text(d, IdOfflineCount) + text(d, IdNotExistCount);
            click(d, IdExportAll);
            click(d, IdExportNotMatched);
            click(d, IdExportMatched);
            click(d, IdOk);
        });
        dialogs.runResults(*s);
        QCOMPARE(counts, QString("201"));
        const auto& asked = p->chooser.requests;
        QCOMPARE(asked.size(), std::size_t(3));
        QCOMPARE(asked[0].initialName, std::string("Computers Found 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(asked[1].initialName, std::string("Computers Not Matched 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(asked[2].initialName, std::string("Computers Matched 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(p->files.paths, (std::vector<std::string>{"/r/all.html", "/r/gone.html", "/r/matched.html"}));
        QCOMPARE(titleOf(p->files.contents[0]), std::string("Rostermill - All Computers"));
        QCOMPARE(titleOf(p->files.contents[1]),
                 std::string("Rostermill - Computers offline or with an empty local group &#8220;R&amp;D&#8221;"));
        QCOMPARE(titleOf(p->files.contents[2]),
                 std::string("Rostermill - Computers with a non-empty local group &#8220;R&amp;D&#8221;"));
        QCOMPARE(p->prompter.shown.size(), std::size_t(3));
        QCOMPARE(p->prompter.shown[2].title, std::string("Rostermill - List Saved"));
        QCOMPARE(p->shell.opened, std::vector<std::string>{"/r/matched.html"});
        saveRenderedPage(p->files.contents[0], "results-export-all-computers");
    }

    // The real save dialog, over the results dialog: its one file type, the
    // default name, ".html" added, no question before replacing a file.
    void realSaveDialog()
    {
        const auto s = groupSearch();
        TempDir dir;
        QtFileChooser chooser;
        PosixFileWriter files;
        ReportFiles reports({p->prompter, chooser, files, p->shell});
        ResultsDialog d(s->outcome().counts, AccountKind::Group, [&](ResultsExport which) {
            reports.exportPage(resultsReport(which, s->request(), s->outcome(), p->wallClock.time));
        }, nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        TempDir::write(dir / "chosen.html", "an older page");
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
            f->selectFile(QString::fromStdString((dir / "chosen").string()));
            static_cast<QDialog*>(f)->accept(); // the file dialog's own accept
        });
        p->prompter.answers = {MessageAnswer::No};
        click(&d, IdExportAll);
        QCOMPARE(owner, static_cast<QWidget*>(&d));
        QCOMPARE(filters, QStringList{"*.html (*.html)"});
        QVERIFY(!confirmsOverwrite);
        QCOMPARE(initialName, QString("Computers Found 07-Dec-2026 02.05.09 PM.html"));
        QCOMPARE(titleOf(TempDir::read(dir / "chosen.html")), std::string("Rostermill - All Computers"));
        QCOMPARE(p->prompter.shown.size(), std::size_t(1));

        // Cancelled: nothing written, nothing asked.
        QTimer::singleShot(0, &d, [&] {
            if (auto* f = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                f->reject();
        });
        click(&d, IdExportMatched);
        QCOMPARE(p->prompter.shown.size(), std::size_t(1));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
};

} // namespace rm

QTEST_MAIN(rm::ResultsDialogTest)
#include "ResultsDialogTest.moc"
