#include "gui/dialogs/SearchProgressDialog.h"
#include "gui/dialogs/DomainScanDialog.h"
#include "gui/GuiTestSupport.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "adapters/qt/PostedMessage.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeNetwork.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sstream>
#include <thread>

namespace rm {

// A clock the test moves by hand.
class ManualClock : public TickClock {
public:
    std::uint32_t now() override { return ms; }
    std::uint32_t ms = 1000;
};

// A network whose browse list answers only once released.
struct BlockingNetwork : FakeNetwork {
    std::atomic<bool> release{false};
    NetStatus NetServerEnum(const std::string& d, std::uint32_t t, std::vector<SERVER_INFO_101>& s) override
    {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return FakeNetwork::NetServerEnum(d, t, s);
    }
};

class SearchDialogsTest : public QObject {
    Q_OBJECT

    FakeNetwork network;
    FakeIdentity identity;
    FakeDirectory directory;
    ScriptedPrompter prompter;
    CountingWaitCursor cursor;
    std::ostringstream out;
    PosixThreadStarter threads;
    SteadyTickClock clock;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        prompter = {};
        network.browseList.clear();
        network.controller.clear();
        network.onLookup = nullptr;
        network.computers.clear();
    }

    void domainScanEndsWithItsWorkerOnly()
    {
        BlockingNetwork blocking;
        blocking.browseList = {{500, "PC1", 5, 1, SV_TYPE_NT, ""}};
        identity.flat = "LAB";
        SearchOptions options;
        options.scanHidden = false;
        DomainScanDialog d("LAB", options, {blocking, identity, directory, out}, {prompter, cursor}, nullptr);
        QCOMPARE(d.windowTitle(), QString("Working . . ."));
        // Enter and the dialog's own accept do not end it while the worker runs;
        // Enter at most presses the focused Cancel, whose question is declined.
        bool stillOpen = false;
        QTimer::singleShot(50, &d, [&] {
            QTest::keyClick(&d, Qt::Key_Return);
            d.accept();
            stillOpen = d.isVisible();
            blocking.release = true;
        });
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QVERIFY(stillOpen);
        QCOMPARE(d.computers(), (std::vector<FoundComputer>{{"PC1", "Workstation (WinXP)"}}));
        for (const Message& m : prompter.shown)
            QCOMPARE(QString::fromStdString(m.title), QString("Confirm Cancel"));
        QCOMPARE(cursor.begun, 1); // shown by the window's thread for the worker
        QCOMPARE(cursor.depth, 0);
    }

    void theCancelWaitKeepsTheWindowAliveAndServesTheWorker()
    {
        // The worker finishes its list, then asks for the Partial Failure box
        // while the dialog waits after a cancel: the box is shown, and the
        // dialog goes away only after its worker has ended.
        BlockingNetwork blocking;
        blocking.browseList = {{500, "PC1", 5, 1, SV_TYPE_NT, ""}};
        identity.flat = "LAB";
        SearchOptions options; // hidden scan on, and no controller
        bool timerRanDuringTheWait = false;
        {
            DomainScanDialog d("LAB", options, {blocking, identity, directory, out}, {prompter, cursor}, nullptr);
            prompter.answers = {MessageAnswer::Yes};
            QTimer::singleShot(50, &d, [&] {
                QTimer::singleShot(100, &d, [&] {
                    timerRanDuringTheWait = true;
                    blocking.release = true;
                });
                QTest::keyClick(&d, Qt::Key_Escape);
            });
            QCOMPARE(d.exec(), int(QDialog::Rejected));
        }
        QVERIFY(timerRanDuringTheWait);
        QCOMPARE(prompter.shown.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(prompter.shown[1].title), QString("Partial Failure"));
    }

    void domainScanCancelWaitsForEverything()
    {
        // A scan that answers only after the cancel question was asked twice.
        BlockingNetwork blocking;
        blocking.browseList = {{500, "PC1", 5, 1, SV_TYPE_NT, ""}};
        identity.flat = "LAB";
        SearchOptions options;
        options.scanHidden = false;
        DomainScanDialog d("LAB", options, {blocking, identity, directory, out}, {prompter, cursor}, nullptr);
        prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QTimer::singleShot(50, &d, [&] {
            QTest::mouseClick(control<QPushButton>(&d, 1051), Qt::LeftButton); // No: goes on
            QVERIFY(d.isVisible());
            std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                blocking.release = true;
            }).detach();
            QTest::keyClick(&d, Qt::Key_Escape); // Yes: waits for the worker
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QCOMPARE(prompter.shown.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(prompter.shown[0].title), QString("Confirm Cancel"));
        QCOMPARE(d.computers().size(), std::size_t(1)); // every computer found stays
        QCOMPARE(text(&d, 1034), QString("Cancelling ..."));
    }

    void searchOfNothingClosesAtOnce()
    {
        SearchProgressDialog d({}, "Administrator", {network, threads, clock}, {prompter, cursor}, nullptr);
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QCOMPARE(text(&d, 1052), QString(""));
        QCOMPARE(text(&d, 1053), QString(""));
    }

    void searchShowsProgressAndResults()
    {
        for (int i = 0; i < 20; ++i)
            network.computers["\\\\PC" + std::to_string(i)].accounts["Administrator"] = {};
        std::vector<std::string> names;
        for (int i = 0; i < 21; ++i)
            names.push_back("\\\\PC" + std::to_string(i)); // the last one is unreachable
        SearchProgressDialog d(names, "Administrator", {network, threads, clock}, {prompter, cursor}, nullptr);
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QCOMPARE(control<QProgressBar>(&d, 1050)->maximum(), 21);
        QCOMPARE(text(&d, 1034), QString("Filtered 21 of 21 (100%)"));
        QCOMPARE(text(&d, 1053), QString("0 seconds"));
        QCOMPARE(d.results().size(), std::size_t(21));
        QVERIFY(!d.results()[0].notMatched);
        QVERIFY(d.results()[20].failed);
    }

    void progressTextsAndTimes()
    {
        ManualClock manual;
        SearchProgressDialog d(std::vector<std::string>(7, "\\\\X"), "a", {network, threads, manual}, {prompter, cursor}, nullptr);
        PostedMessage zero(MessageProgress, 0, 7);
        QCoreApplication::sendEvent(&d, &zero);
        QCOMPARE(text(&d, 1034), QString("Filtered 0 of 7 (0%)"));
        QCOMPARE(text(&d, 1052), QString(""));
        manual.ms += 61000;
        PostedMessage three(MessageProgress, 3, 7);
        QCoreApplication::sendEvent(&d, &three);
        QCOMPARE(text(&d, 1034), QString("Filtered 3 of 7 (42%)"));
        QCOMPARE(text(&d, 1052), QString("1 minute, 1 second"));
        QCOMPARE(text(&d, 1053), QString("1 minute, 21 seconds")); // 61 * 7 / 3 = 142, less 61
    }

    void cancellingTheSearch()
    {
        std::atomic<bool> release{false};
        network.onLookup = [&](const std::string&) {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        };
        network.computers["\\\\PC1"].accounts["Administrator"] = {};
        SearchProgressDialog d({"\\\\PC1", "\\\\PC1"}, "Administrator", {network, threads, clock}, {prompter, cursor}, nullptr);
        prompter.answers = {MessageAnswer::Yes};
        QTimer::singleShot(50, &d, [&] {
            std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                release = true;
            }).detach();
            QTest::mouseClick(control<QPushButton>(&d, 1051), Qt::LeftButton);
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QCOMPARE(QString::fromStdString(prompter.shown[0].text),
                 QString("Cancelling will lose all progress made so far.\n\nAre you sure you wish to cancel?"));
        QVERIFY(!control<QPushButton>(&d, 1051)->isEnabled());
        network.onLookup = nullptr;
    }
};

} // namespace rm

QTEST_MAIN(rm::SearchDialogsTest)
#include "SearchDialogsTest.moc"
