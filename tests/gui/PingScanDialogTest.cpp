#include "gui/dialogs/PingScanDialog.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeIcmp.h"
#include "support/FakeNetwork.h"
#include "support/ReportDoubles.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>

namespace rm {

class PingScanDialogTest : public QObject {
    Q_OBJECT

    ScriptedClock clock;
    FakeResolver resolver;
    std::unique_ptr<FakeIcmp> network;
    PosixThreadStarter threads;
    ScriptedPrompter prompter;
    CountingWaitCursor cursor;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    std::unique_ptr<PingScanDialog> dialog(std::vector<std::string> names)
    {
        return std::make_unique<PingScanDialog>(std::move(names), PingSweep::Services{resolver, *network, threads, clock},
                                                 JobDialog::Services{prompter, cursor}, nullptr);
    }
    // A answers, B does not, C does not resolve.
    void threeComputers()
    {
        resolver.addresses = {{"A", 1}, {"B", 2}};
        network->answering = {1};
    }
    // Releases the held look-ups a little after the window's thread has gone to wait.
    void releaseLater()
    {
        std::thread([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            resolver.release();
        }).detach();
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        prompter = {};
        network = std::make_unique<FakeIcmp>(clock);
        resolver.release();
        resolver.addresses.clear();
    }

    void templateAndFirstLook()
    {
        auto d = dialog({"A"});
        QCOMPARE(d->windowTitle(), QString("Rostermill Operation Status"));
        QCOMPARE(text(d.get(), 1048), QString("0"));
        QCOMPARE(text(d.get(), 1047), QString("0"));
        QCOMPARE(text(d.get(), 1049), QString("---"));
        QCOMPARE(text(d.get(), 1034), QString("Initializing ..."));
        QCOMPARE(control<QPushButton>(d.get(), 2)->text(), QString("Cancel"));
        int horizontal = 0, vertical = 0;
        for (QFrame* f : d->findChildren<QFrame*>()) {
            horizontal += f->frameShape() == QFrame::HLine;
            vertical += f->frameShape() == QFrame::VLine;
        }
        QCOMPARE(horizontal, 4);
        QCOMPARE(vertical, 1);
        d->show();
        saveScreenshot(d.get(), "ping-scan");
        d->hide();
    }

    void aSweepEndsTheDialogWithItsCounts()
    {
        threeComputers();
        auto d = dialog({"A", "B", "C"});
        QCOMPARE(d->exec(), int(QDialog::Accepted));
        QCOMPARE(d->removalList(), (std::vector<std::string>{"B", "C"}));
        QCOMPARE(d->errorText(), std::string());
        // A once, then B in ten rounds; the last round sends nothing and ends them.
        QCOMPARE(text(d.get(), 1048), QString("11"));
        QCOMPARE(text(d.get(), 1047), QString("1"));
        QCOMPARE(text(d.get(), 1049), QString("4.5 seconds"));
        QCOMPARE(text(d.get(), 1034), QString("Ping scanning, round 10 ..."));
        QVERIFY(prompter.shown.empty());
    }

    void enterAndAcceptDoNotEndIt()
    {
        threeComputers();
        resolver.hold();
        auto d = dialog({"A", "B"});
        bool stillOpen = false;
        QTimer::singleShot(50, d.get(), [&] {
            QTest::keyClick(d.get(), Qt::Key_Return); // at most the focused Cancel, declined
            d->accept();
            stillOpen = d->isVisible();
            resolver.release();
        });
        QCOMPARE(d->exec(), int(QDialog::Accepted));
        QVERIFY(stillOpen);
        QCOMPARE(d->removalList(), std::vector<std::string>{"B"});
    }

    void cancelWhileResolvingRemovesNothing()
    {
        threeComputers();
        resolver.hold();
        auto d = dialog({"A", "B"});
        prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QTimer::singleShot(50, d.get(), [&] {
            QTest::mouseClick(control<QPushButton>(d.get(), 2), Qt::LeftButton); // No: goes on
            QVERIFY(d->isVisible());
            QCOMPARE(text(d.get(), 1049), QString("---"));
            releaseLater();
            QTest::keyClick(d.get(), Qt::Key_Escape); // Yes
        });
        QCOMPARE(d->exec(), int(QDialog::Rejected));
        QCOMPARE(prompter.shown.size(), std::size_t(2));
        QCOMPARE(prompter.shown[1], (Message{"Confirm Cancel",
                                             "Cancelling now may remove systems from the list that are actually "
                                             "active.\n\nAre you sure you wish to cancel?",
                                             MessageButtons::YesNo, MessageIcon::Question}));
        QVERIFY(!control<QPushButton>(d.get(), 2)->isEnabled());
        QCOMPARE(text(d.get(), 1034), QString("Cancelling ..."));
        QCOMPARE(d->removalList(), std::vector<std::string>{});
        QCOMPARE(d->errorText(), std::string("Hostname resolution was aborted. No machines have been removed."));
        QCOMPARE(network->opened, 0);
    }

    void cancelDuringTheRoundsRemovesTheSilentOnes()
    {
        threeComputers();
        // Each wait takes a little real time, so the rounds are under way when the cancel comes.
        std::atomic<int> waits{0};
        network->onWait = [&](std::uint32_t) {
            ++waits;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        };
        auto d = dialog({"A", "B", "C"});
        prompter.answers = {MessageAnswer::Yes};
        QTimer poll;
        connect(&poll, &QTimer::timeout, d.get(), [&] {
            if (waits < 3)
                return;
            poll.stop();
            QTest::keyClick(d.get(), Qt::Key_Escape);
        });
        poll.start(5);
        QCOMPARE(d->exec(), int(QDialog::Rejected));
        QVERIFY(network->sent.size() > 1);
        QVERIFY(network->sent.size() < 11);
        QCOMPARE(d->removalList(), (std::vector<std::string>{"B", "C"}));
        QCOMPARE(d->errorText(), std::string());
    }

    void noSocketGivesTheRawSocketText()
    {
        threeComputers();
        network->refuse = true;
        auto d = dialog({"A"});
        QCOMPARE(d->exec(), int(QDialog::Accepted));
        QCOMPARE(d->removalList(), std::vector<std::string>{});
        QVERIFY(QString::fromStdString(d->errorText()).contains("raw-socket privledges"));
    }

    void theSearchCommandsStepRunsIt()
    {
        threeComputers();
        FakeShell shell;
        FakeIdentity identity;
        FakeNetwork net;
        FakeDirectory directory;
        ScriptedFileChooser chooser;
        FailingFileWriter files(FileFailure::Generic);
        ManualWallClock wallClock;
        QtMainWindowDialogs dialogs(nullptr, {prompter, shell, identity, net, directory, threads, clock, cursor, chooser,
                                              files, wallClock, resolver, *network});
        const PingScanOutcome outcome = dialogs.runPingScan({"A", "B", "C"});
        QCOMPARE(outcome.removalList, (std::vector<std::string>{"B", "C"}));
        QCOMPARE(outcome.errorText, std::string());
        network->refuse = true;
        QVERIFY(!dialogs.runPingScan({"A"}).errorText.empty());
    }
};

} // namespace rm

QTEST_MAIN(rm::PingScanDialogTest)
#include "PingScanDialogTest.moc"
