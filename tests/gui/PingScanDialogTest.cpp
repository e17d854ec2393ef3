#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/PingScanDialog.h"
#include "gui/mainwindow/QtMainWindowDialogs.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <thread>

namespace rm {

// The liveness step of a search in its dialog over a real job: A answers,
// B does not, C has no address.
class PingScanDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeWindowServices> p;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static QPushButton* cancelButton(QWidget* d) { return control<QPushButton>(d, 2); }
    ScriptedPrompter& prompter() { return p->prompter; }
    FakeIcmp& icmp() { return p->net.icmp; }

    // A search of the names given, discovered, the liveness step next.
    std::unique_ptr<Search> search(std::vector<std::string> names)
    {
        SearchRequest request;
        request.account = "Administrator";
        request.computers = std::move(names);
        auto s = std::make_unique<Search>(request, p->net.services());
        Progress<SearchProgress> progress;
        s->discover(progress, CancelToken());
        return s;
    }
    std::unique_ptr<PingScanDialog> dialog()
    {
        return std::make_unique<PingScanDialog>(JobDialog::Services{prompter(), p->ui}, nullptr);
    }
    // The dialog over the step, its progress made after it, as the window runs it.
    int run(PingScanDialog& d, Search& s)
    {
        Progress<SearchProgress> progress(p->ui, [&d](const SearchProgress& value) { d.showProgress(value); });
        Job job([&](const CancelToken& cancel) { s.dropSilent(progress, cancel); });
        return d.run(job);
    }
    static std::vector<std::string> removed(const Search& s)
    {
        std::vector<std::string> names;
        for (const DroppedComputer& d : s.outcome().dropped)
            names.push_back(d.computer.name);
        return names;
    }
    // Releases the held look-ups once the window's thread waits in an event loop.
    void releaseLater(QObject* context)
    {
        QTimer::singleShot(150, context, [this] { p->net.resolver.release(); });
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        p = std::make_unique<FakeWindowServices>();
        p->net.resolver.addresses = {{"A", 1}, {"B", 2}};
        icmp().answering = {1};
    }

    void templateAndFirstLook()
    {
        auto d = dialog();
        QCOMPARE(d->windowTitle(), QString("Rostermill Operation Status"));
        QCOMPARE(text(d.get(), 1048), QString("0"));
        QCOMPARE(text(d.get(), 1047), QString("0"));
        QCOMPARE(text(d.get(), 1049), QString("---"));
        QCOMPARE(text(d.get(), 1034), QString("Initializing ..."));
        QCOMPARE(cancelButton(d.get())->text(), QString("Cancel"));
        QVERIFY(d->windowFlags() & Qt::WindowCloseButtonHint);
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
        auto s = search({"A", "B", "C"});
        auto d = dialog();
        QCOMPARE(run(*d, *s), int(QDialog::Accepted));
        QCOMPARE(removed(*s), (std::vector<std::string>{"B", "C"}));
        QCOMPARE(s->outcome().livenessFailure, LivenessFailure::None);
        // A once, then B in ten rounds; the last round sends nothing and ends them.
        QCOMPARE(text(d.get(), 1048), QString("11"));
        QCOMPARE(text(d.get(), 1047), QString("1"));
        QCOMPARE(text(d.get(), 1049), QString("4.5 seconds"));
        QCOMPARE(text(d.get(), 1034), QString("Ping scanning, round 10 ..."));
        QVERIFY(prompter().shown.empty());
    }

    void enterAndAcceptDoNotEndIt()
    {
        p->net.resolver.hold();
        auto s = search({"A", "B"});
        auto d = dialog();
        bool stillOpen = false;
        QTimer::singleShot(50, d.get(), [&] {
            QTest::keyClick(d.get(), Qt::Key_Return); // at most the focused Cancel, declined
            d->accept();
            stillOpen = d->isVisible();
            p->net.resolver.release();
        });
        QCOMPARE(run(*d, *s), int(QDialog::Accepted));
        QVERIFY(stillOpen);
        QCOMPARE(removed(*s), std::vector<std::string>{"B"});
    }

    void cancelWhileResolvingRemovesNothing()
    {
        p->net.resolver.hold();
        auto s = search({"A", "B"});
        auto d = dialog();
        prompter().answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes};
        QTimer::singleShot(50, d.get(), [&] {
            QVERIFY(!d->close()); // the close box asks too; No: goes on
            QTest::mouseClick(cancelButton(d.get()), Qt::LeftButton); // No: goes on
            QVERIFY(d->isVisible());
            QCOMPARE(text(d.get(), 1049), QString("---"));
            releaseLater(d.get());
            QTest::keyClick(d.get(), Qt::Key_Escape); // Yes
        });
        QCOMPARE(run(*d, *s), int(QDialog::Rejected));
        QCOMPARE(prompter().shown.size(), std::size_t(3));
        QCOMPARE(prompter().shown[0], prompter().shown[2]);
        QCOMPARE(prompter().shown[1], (Message{"Confirm Cancel",
                                               "Cancelling now may remove systems from the list that are actually "
                                               "active.\n\nAre you sure you wish to cancel?",
                                               MessageButtons::YesNo, MessageIcon::Question}));
        QVERIFY(!cancelButton(d.get())->isEnabled());
        QCOMPARE(text(d.get(), 1034), QString("Cancelling ..."));
        QVERIFY(removed(*s).empty());
        QCOMPARE(s->outcome().livenessFailure, LivenessFailure::ResolutionCancelled);
        QCOMPARE(icmp().opened, 0);
    }

    void cancelDuringTheRoundsRemovesTheSilentOnes()
    {
        // Each wait takes a little real time, so the rounds are under way when the cancel comes.
        std::atomic<int> waits{0};
        icmp().onWait = [&](std::uint32_t) {
            ++waits;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        };
        auto s = search({"A", "B", "C"});
        auto d = dialog();
        prompter().answers = {MessageAnswer::Yes};
        QTimer poll;
        connect(&poll, &QTimer::timeout, d.get(), [&] {
            if (waits < 3)
                return;
            poll.stop();
            QTest::keyClick(d.get(), Qt::Key_Escape);
        });
        poll.start(5);
        QCOMPARE(run(*d, *s), int(QDialog::Rejected));
        QVERIFY(icmp().sent.size() > 1);
        QVERIFY(icmp().sent.size() < 11);
        QCOMPARE(removed(*s), (std::vector<std::string>{"B", "C"}));
        QCOMPARE(s->outcome().livenessFailure, LivenessFailure::None);
    }

    void noSocketRemovesNothing()
    {
        icmp().refuse = true;
        auto s = search({"A"});
        auto d = dialog();
        QCOMPARE(run(*d, *s), int(QDialog::Accepted));
        QVERIFY(removed(*s).empty());
        QCOMPARE(s->outcome().livenessFailure, LivenessFailure::NoIcmpSocket);
    }

    void theWindowRunsTheStepInThisDialog()
    {
        QtMainWindowDialogs dialogs(nullptr, p->services());
        p->net.resolver.hold();
        QString shownTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget())
                shownTitle = modal->windowTitle();
            p->net.resolver.release();
        });
        auto s = search({"A", "B", "C"});
        dialogs.runLiveness(*s);
        QCOMPARE(shownTitle, QString("Rostermill Operation Status"));
        QCOMPARE(removed(*s), (std::vector<std::string>{"B", "C"}));
    }
};

} // namespace rm

QTEST_MAIN(rm::PingScanDialogTest)
#include "PingScanDialogTest.moc"
