#include "gui/GuiTestSupport.h"
#include "gui/dialogs/OperationDialog.h"
#include "support/Doubles.h"
#include "support/FakeNetwork.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>

namespace rm {

class OperationDialogTest : public QObject {
    Q_OBJECT

    using D = OperationDialog;
    FakeNetwork network;
    ScriptedPrompter prompter;
    CountingWaitCursor cursor;
    std::vector<AccountOperation> ops;
    std::atomic<bool> inSecond{false}, release{false};

    static QString text(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    static QPushButton* button(QWidget* d, int id) { return control<QPushButton>(d, id); }
    const Message question{"Confirm Cancel", "Are you sure you wish to abort before all systems have been affected?",
                           MessageButtons::YesNo, MessageIcon::Question};

    // Five computers with a password change and a disable each; the second
    // computer's first call waits until released.
    void fiveComputersTheSecondBlocking()
    {
        for (int i = 1; i <= 5; ++i) {
            const std::string name = "PC" + std::to_string(i);
            network.computers["\\\\" + name].accounts["u"] = FakeNetwork::flagged(UF_NORMAL_ACCOUNT);
            AccountOperation& op = ops.emplace_back();
            op.computerName = name;
            op.userName = "u";
            op.passwordRequested = op.enableRequested = true;
            op.password = "pw";
        }
        network.onChange = [this](const std::string& server) {
            if (server == "\\\\PC2" && !inSecond.exchange(true))
                while (!release)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        network.computers.clear();
        network.onChange = nullptr;
        network.changes.clear();
        network.changeStatus.clear();
        prompter = {};
        ops.clear();
        inSecond = release = false;
    }

    void theTemplateBeforeTheWorkerStarts()
    {
        ops.emplace_back().computerName = "PC1";
        D d(ops, network, {prompter, cursor}, nullptr);
        QCOMPARE(d.windowTitle(), QString("Rostermill Operation Status"));
        QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowSystemMenuHint));
        for (int id : {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032})
            QCOMPARE(text(&d, id), QString("0"));
        QCOMPARE(control<QGroupBox>(&d, D::IdProgressFrame)->title(), QString("Progress"));
        QCOMPARE(text(&d, D::IdStatus), QString("Working ..."));
        QCOMPARE(button(&d, D::IdViewLog)->text(), QString("&View Log"));
        QVERIFY(button(&d, D::IdViewLog)->isDefault());
        QVERIFY(!button(&d, D::IdViewLog)->isEnabled());
        QCOMPARE(button(&d, IdCancel)->text(), QString("Cancel"));
        QVERIFY(button(&d, IdCancel)->isEnabled());
    }

    void eachCounterInItsControlAndTheFinalStatus()
    {
        // Distinct counts: rename 1 of 5, password 3 of 10, enable 2 of 8.
        for (int i = 0; i < 10; ++i) {
            const std::string name = "PC" + std::to_string(i);
            auto& accounts = network.computers["\\\\" + name].accounts;
            accounts["u"] = FakeNetwork::flagged(UF_NORMAL_ACCOUNT);
            accounts["taken"] = {};
            if (i >= 3)
                network.changeStatus["\\\\" + name] = NERR_PasswordTooShort;
            if (i == 2)
                accounts["u"].status = ERROR_ACCESS_DENIED; // the flags cannot be read
            AccountOperation& op = ops.emplace_back();
            op.computerName = name;
            op.userName = "u";
            op.passwordRequested = true;
            op.enableRequested = i < 8;
            op.renameRequested = i < 5;
            op.newUserName = i == 0 ? "fresh" : "taken";
        }
        D d(ops, network, {prompter, cursor}, nullptr);
        d.show();
        QTRY_COMPARE(text(&d, D::IdStatus), QString("Operation Completed."));
        const std::pair<int, const char*> expected[] = {
            {D::IdRenameTotal, "5"},   {D::IdRenameSucceeded, "1"},   {D::IdRenameFailed, "4"},
            {D::IdPasswordTotal, "10"}, {D::IdPasswordSucceeded, "3"}, {D::IdPasswordFailed, "7"},
            {D::IdEnableTotal, "8"},   {D::IdEnableSucceeded, "2"},   {D::IdEnableFailed, "6"},
        };
        for (const auto& [id, count] : expected)
            QCOMPARE(text(&d, id), QString(count));
        QCOMPARE(control<QGroupBox>(&d, D::IdProgressFrame)->title(), QString("Final Status"));
        QVERIFY(button(&d, D::IdViewLog)->isEnabled());
        QVERIFY(!button(&d, IdCancel)->isEnabled());
        saveScreenshot(&d, "OperationDialog-final");
        QTest::mouseClick(button(&d, D::IdViewLog), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(prompter.shown.empty());
    }

    void enterDoesNotEndTheDialogWhileWorking()
    {
        fiveComputersTheSecondBlocking();
        D d(ops, network, {prompter, cursor}, nullptr);
        d.show();
        QTRY_VERIFY(inSecond);
        // Enter at most presses the focused Cancel, whose question is declined.
        QTest::keyClick(&d, Qt::Key_Return);
        d.accept();
        const bool stillOpen = d.isVisible();
        release = true;
        QVERIFY(stillOpen);
        for (const Message& m : prompter.shown)
            QCOMPARE(m, question);
        QTRY_VERIFY(button(&d, D::IdViewLog)->isEnabled());
        d.accept(); // "&View Log" once the batch has ended
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        for (const AccountOperation& op : ops)
            QVERIFY(op.processed);
    }

    void aConfirmedCancelCompletesTheCurrentComputerThenCloses()
    {
        fiveComputersTheSecondBlocking();
        prompter.answers = {MessageAnswer::Yes};
        bool closedEarly = false;
        D d(ops, network, {prompter, cursor}, nullptr);
        QTimer::singleShot(0, &d, [&] {
            QTRY_VERIFY(inSecond);
            QTimer::singleShot(200, &d, [&] {
                closedEarly = !d.isVisible();
                release = true;
            });
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QVERIFY(!closedEarly);
        QCOMPARE(prompter.shown, std::vector<Message>{question});
        QVERIFY(ops[0].processed && ops[1].processed);
        QVERIFY(ops[1].passwordSucceeded && ops[1].enableSucceeded);
        for (std::size_t i = 2; i < ops.size(); ++i)
            QVERIFY(!ops[i].processed);
        QCOMPARE(network.changes.size(), std::size_t(4));
    }

    void aDeclinedCancelLetsTheWorkerGoOn()
    {
        fiveComputersTheSecondBlocking();
        prompter.answers = {MessageAnswer::No};
        D d(ops, network, {prompter, cursor}, nullptr);
        d.show();
        QTRY_VERIFY(inSecond);
        QTest::mouseClick(button(&d, IdCancel), Qt::LeftButton);
        QCOMPARE(prompter.shown, std::vector<Message>{question});
        QVERIFY(d.isVisible());
        release = true;
        QTRY_COMPARE(text(&d, D::IdStatus), QString("Operation Completed."));
        QCOMPARE(text(&d, D::IdPasswordTotal), QString("5"));
        for (const AccountOperation& op : ops)
            QVERIFY(op.processed);
    }

    void escapeAfterTheEndStillAsks()
    {
        ops.emplace_back().computerName = "PC1";
        ops.back().renameRequested = true;
        D d(ops, network, {prompter, cursor}, nullptr);
        d.show();
        QTRY_VERIFY(button(&d, D::IdViewLog)->isEnabled());
        QCOMPARE(text(&d, D::IdRenameFailed), QString("1"));
        prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(prompter.shown, (std::vector<Message>{question, question}));
        QCOMPARE(text(&d, D::IdStatus), QString("Operation Completed."));
    }
};

} // namespace rm

QTEST_MAIN(rm::OperationDialogTest)
#include "OperationDialogTest.moc"
