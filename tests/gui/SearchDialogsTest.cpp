#include "adapters/qt/QtUiThread.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/DomainScanDialog.h"
#include "gui/dialogs/SearchProgressDialog.h"
#include "support/FakeSearchServices.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

namespace rm {

// The discovery and check steps of a search, each in its dialog over a real
// job, wired as the window wires them.
class SearchDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeSearchServices> net;
    ScriptedPrompter prompter;
    CountingWaitCursor cursor;
    QtUiThread ui;
    std::atomic<bool> release{false};

    const Message scanCancel{"Confirm Cancel",
                             "At this point, Windows is waiting for a response from your Primary Domain Controller, "
                             "and cancelling will take exactly as long as finishing.\n\nAre you sure you wish to "
                             "cancel?",
                             MessageButtons::YesNo, MessageIcon::Question};

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static QPushButton* cancelButton(QWidget* d) { return control<QPushButton>(d, 1051); }

    // A search of the domain LAB for Administrator; `hidden` asks for hidden computers too.
    std::unique_ptr<Search> search(bool hidden = false)
    {
        SearchRequest request;
        request.account = "Administrator";
        request.options.domain = "LAB";
        request.options.scanHidden = hidden;
        return std::make_unique<Search>(request, net->services());
    }
    // Computers PC0.. on the browse list; the first `holding` of them hold the account.
    void computers(int n, int holding)
    {
        for (int i = 0; i < n; ++i) {
            const std::string name = "PC" + std::to_string(i);
            net->network.browseEntries.push_back({name, BrowseType::Nt, 10, 0});
            if (i < holding)
                net->network.computers["\\\\" + name].accounts["Administrator"] = {};
        }
    }
    // The browse list is read only once released.
    void holdTheBrowseList()
    {
        net->network.onBrowse = [this] {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
    }
    // The dialog run over a job doing `step`, the progress it shows made after it.
    template <class Dialog, class Step>
    int run(Dialog& dialog, Step step)
    {
        Progress<SearchProgress> progress(ui, [&dialog](const SearchProgress& p) { dialog.showProgress(p); });
        Job job([&](const CancelToken& cancel) { step(progress, cancel); });
        return dialog.run(job);
    }
    int discover(DomainScanDialog& d, Search& s)
    {
        return run(d, [&](Progress<SearchProgress>& p, const CancelToken& c) { s.discover(p, c); });
    }
    int check(SearchProgressDialog& d, Search& s)
    {
        return run(d, [&](Progress<SearchProgress>& p, const CancelToken& c) { s.check(p, c); });
    }
    // Discovery without a dialog, for the check that follows it.
    void discoverAtOnce(Search& s)
    {
        Progress<SearchProgress> progress;
        s.discover(progress, CancelToken());
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        net = std::make_unique<FakeSearchServices>();
        net->identity.flat = "LAB";
        prompter = {};
        cursor = {};
        release = false;
    }

    void aScanEndsWhenItsJobDoesWithTheWaitCursorWhileListing()
    {
        computers(1, 0);
        holdTheBrowseList();
        auto s = search();
        DomainScanDialog d(*s, {prompter, ui}, cursor, nullptr);
        QCOMPARE(d.windowTitle(), QString("Working . . ."));
        // Enter and the dialog's own accept do not end it while the job runs;
        // Enter at most presses the focused Cancel, whose question is declined.
        bool cursorWhileListing = false, stillOpen = false;
        QTimer::singleShot(50, &d, [&] {
            QTRY_COMPARE(cursor.depth, 1);
            cursorWhileListing = true;
            QTest::keyClick(&d, Qt::Key_Return);
            d.accept();
            stillOpen = d.isVisible();
            release = true;
        });
        QCOMPARE(discover(d, *s), int(QDialog::Accepted));
        QVERIFY(cursorWhileListing);
        QVERIFY(stillOpen);
        QCOMPARE(s->outcome().discovered, (std::vector<FoundComputer>{{"PC0", "Workstation"}}));
        for (const Message& m : prompter.shown)
            QCOMPARE(m, scanCancel);
        QCOMPARE(cursor.begun, 1);
        QCOMPARE(cursor.depth, 0);
    }

    void aConfirmedCancelWaitsPaintingThenShowsTheNoticeBeforeTheDialogEnds()
    {
        // The hidden scan has no controller to ask: its notice comes once the
        // job has ended, over the dialog still open.
        computers(1, 0);
        holdTheBrowseList();
        auto s = search(true);
        DomainScanDialog d(*s, {prompter, ui}, cursor, nullptr);
        bool openAtTheNotice = false, timerRanDuringTheWait = false;
        prompter.onShow = [&](const Message& m) {
            if (m.title == "Partial Failure")
                openAtTheNotice = d.isVisible();
        };
        prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
        QTimer::singleShot(50, &d, [&] {
            QVERIFY(!d.close()); // the close box asks as Cancel does; No: goes on
            QVERIFY(d.isVisible());
            QVERIFY(cancelButton(&d)->isEnabled());
            QTimer::singleShot(100, &d, [&] {
                timerRanDuringTheWait = true;
                release = true;
            });
            QTest::keyClick(&d, Qt::Key_Escape); // Yes: waits for the job
        });
        QCOMPARE(discover(d, *s), int(QDialog::Rejected));
        QVERIFY(timerRanDuringTheWait);
        QCOMPARE(prompter.shown.size(), std::size_t(3));
        QCOMPARE(prompter.shown[0], scanCancel);
        QCOMPARE(prompter.shown[2].title, std::string("Partial Failure"));
        QVERIFY(openAtTheNotice);
        QCOMPARE(text(&d, 1034), QString("Cancelling ..."));
        QVERIFY(!cancelButton(&d)->isEnabled());
        QCOMPARE(s->outcome().discovered.size(), std::size_t(1)); // what was found stays
        QCOMPARE(cursor.depth, 0);
    }

    void aCheckOfNothingClosesAtOnce()
    {
        auto s = search();
        SearchProgressDialog d(0, net->clock, {prompter, ui}, nullptr);
        QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(check(d, *s), int(QDialog::Accepted));
        QCOMPARE(text(&d, 1052), QString(""));
        QCOMPARE(text(&d, 1053), QString(""));
        QVERIFY(prompter.shown.empty());
    }

    void aCheckShowsItsProgressToTheEnd()
    {
        computers(21, 20);
        auto s = search();
        discoverAtOnce(*s);
        SearchProgressDialog d(s->outcome().rows.size(), net->clock, {prompter, ui}, nullptr);
        QCOMPARE(check(d, *s), int(QDialog::Accepted));
        QCOMPARE(control<QProgressBar>(&d, 1050)->maximum(), 21);
        QCOMPARE(control<QProgressBar>(&d, 1050)->value(), 21);
        QCOMPARE(text(&d, 1034), QString("Filtered 21 of 21 (100%)"));
        QCOMPARE(text(&d, 1053), QString("0 seconds"));
        QCOMPARE(s->outcome().rows.size(), std::size_t(20));
    }

    void progressTextsAndTimes()
    {
        SearchProgressDialog d(7, net->clock, {prompter, ui}, nullptr);
        SearchProgress p;
        p.check = {0, 7};
        d.showProgress(p);
        QCOMPARE(text(&d, 1034), QString("Filtered 0 of 7 (0%)"));
        QCOMPARE(text(&d, 1052), QString(""));
        net->clock.ms += 61000; // since the dialog was made
        p.check = {3, 7};
        d.showProgress(p);
        QCOMPARE(text(&d, 1034), QString("Filtered 3 of 7 (42%)"));
        QCOMPARE(text(&d, 1052), QString("1 minute, 1 second"));
        QCOMPARE(text(&d, 1053), QString("1 minute, 21 seconds")); // 61 * 7 / 3 = 142, less 61
    }

    void cancellingTheCheckKeepsTheList()
    {
        computers(2, 2);
        auto s = search();
        discoverAtOnce(*s);
        const std::vector<ComputerRow> discovered = s->outcome().rows;
        net->network.onLookup = [this](const std::string&) {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
        SearchProgressDialog d(discovered.size(), net->clock, {prompter, ui}, nullptr);
        prompter.answers = {MessageAnswer::Yes};
        QTimer::singleShot(50, &d, [&] {
            // Released once the dialog waits after the cancel: the timer runs only in that wait.
            QTimer::singleShot(100, &d, [this] { release = true; });
            QTest::mouseClick(cancelButton(&d), Qt::LeftButton);
        });
        QCOMPARE(check(d, *s), int(QDialog::Rejected));
        QCOMPARE(prompter.shown, (std::vector<Message>{{"Confirm Cancel",
                                                         "Cancelling will lose all progress made so far.\n\nAre you "
                                                         "sure you wish to cancel?",
                                                         MessageButtons::YesNo, MessageIcon::Question}}));
        QVERIFY(!cancelButton(&d)->isEnabled());
        QCOMPARE(text(&d, 1034), QString("Cancelling ..."));
        QCOMPARE(s->outcome().state, SearchState::CheckCancelled);
        QVERIFY(s->outcome().rows == discovered);
    }
};

} // namespace rm

QTEST_MAIN(rm::SearchDialogsTest)
#include "SearchDialogsTest.moc"
