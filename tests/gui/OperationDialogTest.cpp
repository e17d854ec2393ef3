#include "core/batch/Batch.h"
#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/OperationDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <thread>

namespace rm {

// The batch's status dialog over a real job applying a plan to a network in memory.
class OperationDialogTest : public QObject {
    Q_OBJECT

    using D = OperationDialog;
    std::unique_ptr<FakeWindowServices> p;
    std::atomic<bool> inSecond{false}, release{false};
    BatchOutcome outcome;

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static QPushButton* button(QWidget* d, int id) { return control<QPushButton>(d, id); }
    const Message question{"Confirm Cancel", "Are you sure you wish to abort before all systems have been affected?",
                           MessageButtons::YesNo, MessageIcon::Question};
    FakeNetwork& network() { return p->net.network; }
    ScriptedPrompter& prompter() { return p->prompter; }
    std::unique_ptr<D> dialog() { return std::make_unique<D>(JobDialog::Services{prompter(), p->ui}, nullptr); }

    // A new password and a disable for the user u on each computer named.
    static BatchPlan passwordAndDisable(const std::vector<std::string>& computers)
    {
        BatchRequest r;
        for (const std::string& c : computers)
            r.targets.push_back({c, "u", true, {}});
        r.changePassword = true;
        r.password = Secret("pw");
        r.verification = Secret("pw");
        r.enabledChoice = EnabledChoice::Disable;
        return std::get<BatchPlan>(plan(std::move(r)));
    }
    // PC1..PC5 with the user u; the second computer's first change waits until released.
    std::vector<std::string> fiveComputersTheSecondBlocking()
    {
        std::vector<std::string> names;
        for (int i = 1; i <= 5; ++i) {
            names.push_back("PC" + std::to_string(i));
            network().computers["\\\\" + names.back()].accounts["u"] = {};
        }
        network().onChange = [this](const std::string& server) {
            if (server == "\\\\PC2" && !inSecond.exchange(true))
                while (!release)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        return names;
    }
    // The dialog over the batch, its progress made after it, as the window runs it.
    int run(D& d, const BatchPlan& batch)
    {
        Progress<BatchCounts> progress(p->ui, [&d](const BatchCounts& c) { d.showProgress(c); });
        Job job([&](const CancelToken& cancel) { outcome = apply(batch, 0, network(), progress, cancel); });
        return d.run(job);
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        p = std::make_unique<FakeWindowServices>();
        inSecond = release = false;
        outcome = {};
    }

    void theTemplateBeforeTheJobStarts()
    {
        auto d = dialog();
        QCOMPARE(d->windowTitle(), QString("Rostermill Operation Status"));
        QVERIFY(!(d->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(d->windowFlags() & Qt::WindowSystemMenuHint));
        for (int id : {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032})
            QCOMPARE(text(d.get(), id), QString("0"));
        QCOMPARE(control<QGroupBox>(d.get(), D::IdProgressFrame)->title(), QString("Progress"));
        QCOMPARE(text(d.get(), D::IdStatus), QString("Working ..."));
        QCOMPARE(button(d.get(), D::IdViewLog)->text(), QString("&View Log"));
        QVERIFY(button(d.get(), D::IdViewLog)->isDefault());
        QVERIFY(!button(d.get(), D::IdViewLog)->isEnabled());
        QCOMPARE(button(d.get(), IdCancel)->text(), QString("Cancel"));
        QVERIFY(button(d.get(), IdCancel)->isEnabled());
    }

    void eachCountInItsControl()
    {
        auto d = dialog();
        BatchCounts counts;
        counts.rename = {1, 4, 5};
        counts.password = {3, 7, 10};
        counts.enable = {2, 6, 8};
        d->showProgress(counts);
        const std::pair<int, const char*> expected[] = {
            {D::IdRenameTotal, "5"},    {D::IdRenameSucceeded, "1"},   {D::IdRenameFailed, "4"},
            {D::IdPasswordTotal, "10"}, {D::IdPasswordSucceeded, "3"}, {D::IdPasswordFailed, "7"},
            {D::IdEnableTotal, "8"},    {D::IdEnableSucceeded, "2"},   {D::IdEnableFailed, "6"},
        };
        for (const auto& [id, count] : expected)
            QCOMPARE(text(d.get(), id), QString(count));
    }

    void aBatchEndsWithItsCountsAndTheFinalStatus()
    {
        for (const char* c : {"PC1", "PC2", "PC3"})
            network().computers[std::string("\\\\") + c].accounts["u"] = {};
        network().changeStatus["\\\\PC2"] = NetStatus::AccessDenied;
        auto d = dialog();
        bool endedByItself = true;
        QTimer::singleShot(0, d.get(), [&] {
            QTRY_COMPARE(text(d.get(), D::IdStatus), QString("Operation Completed."));
            endedByItself = !d->isVisible();
            QCOMPARE(text(d.get(), D::IdPasswordTotal), QString("3"));
            QCOMPARE(text(d.get(), D::IdPasswordSucceeded), QString("2"));
            QCOMPARE(text(d.get(), D::IdEnableFailed), QString("1"));
            QCOMPARE(text(d.get(), D::IdRenameTotal), QString("0"));
            QCOMPARE(control<QGroupBox>(d.get(), D::IdProgressFrame)->title(), QString("Final Status"));
            QVERIFY(button(d.get(), D::IdViewLog)->isEnabled());
            QVERIFY(!button(d.get(), IdCancel)->isEnabled());
            saveScreenshot(d.get(), "OperationDialog-final");
            QTest::mouseClick(button(d.get(), D::IdViewLog), Qt::LeftButton);
        });
        QCOMPARE(run(*d, passwordAndDisable({"PC1", "PC2", "PC3"})), int(QDialog::Accepted));
        QVERIFY(!endedByItself); // it waits for View Log
        QVERIFY(prompter().shown.empty());
        QCOMPARE(outcome.counts.password.failed, 1);
    }

    void enterDoesNotEndTheDialogWhileWorking()
    {
        const auto names = fiveComputersTheSecondBlocking();
        auto d = dialog();
        bool stillOpen = false;
        QTimer::singleShot(0, d.get(), [&] {
            QTRY_VERIFY(inSecond);
            // Enter at most presses the focused Cancel, whose question is declined.
            QTest::keyClick(d.get(), Qt::Key_Return);
            d->accept();
            stillOpen = d->isVisible();
            release = true;
            QTRY_VERIFY(button(d.get(), D::IdViewLog)->isEnabled());
            d->accept(); // "&View Log" once the batch has ended
        });
        QCOMPARE(run(*d, passwordAndDisable(names)), int(QDialog::Accepted));
        QVERIFY(stillOpen);
        for (const Message& m : prompter().shown)
            QCOMPARE(m, question);
        for (const AccountOutcome& a : outcome.accounts)
            QVERIFY(a.processed);
    }

    void aConfirmedCancelCompletesTheCurrentComputerThenCloses()
    {
        const auto names = fiveComputersTheSecondBlocking();
        prompter().answers = {MessageAnswer::Yes};
        bool closedEarly = false;
        auto d = dialog();
        QTimer::singleShot(0, d.get(), [&] {
            QTRY_VERIFY(inSecond);
            QTimer::singleShot(200, d.get(), [&] {
                closedEarly = !d->isVisible();
                release = true;
            });
            QTest::keyClick(d.get(), Qt::Key_Escape);
        });
        QCOMPARE(run(*d, passwordAndDisable(names)), int(QDialog::Rejected));
        QVERIFY(!closedEarly);
        QCOMPARE(prompter().shown, std::vector<Message>{question});
        QVERIFY(outcome.cancelled);
        QVERIFY(outcome.accounts[0].processed && outcome.accounts[1].processed);
        QVERIFY(outcome.accounts[1].password.succeeded() && outcome.accounts[1].enable.succeeded());
        for (std::size_t i = 2; i < outcome.accounts.size(); ++i)
            QVERIFY(!outcome.accounts[i].processed);
        QCOMPARE(network().changes.size(), std::size_t(4));
    }

    void aDeclinedCancelLetsTheBatchGoOn()
    {
        const auto names = fiveComputersTheSecondBlocking();
        prompter().answers = {MessageAnswer::No};
        auto d = dialog();
        QTimer::singleShot(0, d.get(), [&] {
            QTRY_VERIFY(inSecond);
            QTest::mouseClick(button(d.get(), IdCancel), Qt::LeftButton);
            QCOMPARE(prompter().shown, std::vector<Message>{question});
            QVERIFY(d->isVisible());
            release = true;
            QTRY_COMPARE(text(d.get(), D::IdStatus), QString("Operation Completed."));
            QCOMPARE(text(d.get(), D::IdPasswordTotal), QString("5"));
            d->accept();
        });
        QCOMPARE(run(*d, passwordAndDisable(names)), int(QDialog::Accepted));
        QVERIFY(!outcome.cancelled);
        for (const AccountOutcome& a : outcome.accounts)
            QVERIFY(a.processed);
    }

    void escapeAfterTheEndStillAsks()
    {
        BatchRequest r;
        r.targets = {{"PC1", "u", true, {}}};
        r.rename = true;
        r.newName = "v";
        auto d = dialog();
        prompter().answers = {MessageAnswer::No, MessageAnswer::Yes};
        bool openAfterNo = false;
        QTimer::singleShot(0, d.get(), [&] {
            QTRY_VERIFY(button(d.get(), D::IdViewLog)->isEnabled());
            QCOMPARE(text(d.get(), D::IdRenameFailed), QString("1"));
            QTest::keyClick(d.get(), Qt::Key_Escape);
            openAfterNo = d->isVisible();
            QTest::keyClick(d.get(), Qt::Key_Escape);
        });
        QCOMPARE(run(*d, std::get<BatchPlan>(plan(std::move(r)))), int(QDialog::Rejected));
        QVERIFY(openAfterNo);
        QCOMPARE(prompter().shown, (std::vector<Message>{question, question}));
        QCOMPARE(text(d.get(), D::IdStatus), QString("Operation Completed."));
    }
};

} // namespace rm

QTEST_MAIN(rm::OperationDialogTest)
#include "OperationDialogTest.moc"
