#include "gui/GuiTestSupport.h"
#include "gui/dialogs/AboutDialog.h"
#include "support/Doubles.h"
#include "gui/kit/LinkLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace rm {

class AboutDialogTest : public QObject {
    Q_OBJECT

    static QColor textColour(QWidget* w) { return w->palette().color(QPalette::WindowText); }

private slots:
    void initTestCase() { prepareGuiTest(); }

    void showsVersionAndLinks()
    {
        ScriptedPrompter prompter;
        FakeShell shell;
        AboutDialog about(nullptr, shell, prompter);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QString("Korvane Rostermill"));
        QVERIFY(!(about.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::white));

        QLabel* picture = about.findChildren<QLabel*>().value(0);
        QVERIFY(picture && !picture->pixmap().isNull());
        QCOMPARE(picture->geometry().topLeft(), QPoint(0, 0));

        bool versionShown = false;
        for (QLabel* label : about.findChildren<QLabel*>())
            versionShown |= label->text() == "Korvane Rostermill Version " ROSTERMILL_VERSION;
        QVERIFY(versionShown);

        QCOMPARE(about.webLink()->text(), QString("www.korvane.example"));
        QCOMPARE(about.webLink()->target(), QString(AboutDialog::WebAddress));
        QCOMPARE(about.webLink()->toolTip(), QString(AboutDialog::WebAddress));
        QCOMPARE(about.mailLink()->target(), QString("mailto:rostermill@korvane.example"));
        QCOMPARE(about.webLink()->objectName(), QString("1037"));
        QVERIFY(about.webLink()->font().underline());
        QCOMPARE(about.webLink()->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(textColour(about.webLink()), QColor(0, 0, 255));
        saveScreenshot(&about, "about-box");
    }

    void clickedLinkColoursAndVisitedState()
    {
        ScriptedPrompter prompter;
        FakeShell shell;
        AboutDialog about(nullptr, shell, prompter);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.activateWindow();

        QTest::mouseClick(about.webLink(), Qt::LeftButton);
        QCOMPARE(shell.opened, (std::vector<std::string>{AboutDialog::WebAddress}));
        QVERIFY(about.webLink()->model().visited());
        QCOMPARE(textColour(about.webLink()), QColor(0, 128, 128)); // while it keeps the focus

        control<QPushButton>(&about, 1)->setFocus();
        QCOMPARE(textColour(about.webLink()), QColor(128, 0, 128));
        QVERIFY(prompter.shown.empty());
    }

    void failedOpenShowsTheFailureText()
    {
        ScriptedPrompter prompter;
        FakeShell shell;
        shell.result = 31;
        AboutDialog about(nullptr, shell, prompter);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        QTest::mouseClick(about.mailLink(), Qt::LeftButton);
        QCOMPARE(shell.opened, (std::vector<std::string>{AboutDialog::MailAddress}));
        QCOMPARE(prompter.beeps, 1);
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(prompter.shown[0],
                 (Message{"Rostermill",
                          "Can't open link:\n\nThere is no application associated\n"
                          "with the given filename extension.",
                          MessageButtons::Ok, MessageIcon::Exclamation}));
        QVERIFY(!about.mailLink()->model().visited());
        control<QPushButton>(&about, 1)->setFocus();
        QCOMPARE(textColour(about.mailLink()), QColor(0, 0, 255));
    }

    void okEndsTheBox()
    {
        ScriptedPrompter prompter;
        FakeShell shell;
        AboutDialog about(nullptr, shell, prompter);
        about.show();
        QTest::mouseClick(control<QPushButton>(&about, 1), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

} // namespace rm

QTEST_MAIN(rm::AboutDialogTest)
#include "AboutDialogTest.moc"
