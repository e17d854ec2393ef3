// The program's main window at work in the lab, as the set-up command shows
// it: a search for a local user, a search for a local group's members, and a
// batch (a new password and a disable) on the two members found, through the
// window's controls and the program's own adapters. The lab is restored
// afterwards; the windows' pictures and the activity log are left in the
// demo folder ($RM_DEMO_DIR, else the build's "demo" folder).
#include "LabWindow.h"
#include "gui/dialogs/ResultsDialogIds.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "gui/dialogs/OperationDialog.h"
#include "support/LabManifest.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <set>

namespace rm {

class DemoSearchTest : public QObject {
    Q_OBJECT

    LabManifest lab = LabManifest::load();
    QString output;

    void keep(const QString& picture)
    {
        QFile::remove(output + "/" + picture + ".png");
        QFile::copy(QString(SCREENSHOT_DIR) + "/" + picture + ".png", output + "/" + picture + ".png");
    }

private slots:
    void initTestCase()
    {
        prepareGuiTest();
        if (!lab.available())
            QSKIP("lab not available");
        output = qEnvironmentVariable("RM_DEMO_DIR", QString(SCREENSHOT_DIR) + "/../demo");
        QVERIFY(QDir().mkpath(output));
        output = QDir(output).canonicalPath();
        LabWindow::waitForTheBrowseList(lab, {});
    }

    void searchBatchAndRestore()
    {
        TempDir dir; // no settings yet: the defaults, as on a first run
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(output); // the activity log lands there
        LabWindow w(dir / "Rostermill.reg");
        MainWindow& main = w.window();

        // 1. Where does a local Administrator exist?
        w.setAccount("Administrator", false);
        w.once(IddResults, [](QWidget* d) {
            saveScreenshot(d, "demo-results");
            control<QPushButton>(d, 1)->click();
        });
        w.click(IdStartSearch);
        saveScreenshot(&main, "demo-main-window");
        // The controller too: not in the browse list, but among its own
        // machine accounts, and reached by Kerberos.
        std::set<std::string> admins = membersWithUser(lab, "Administrator");
        admins.insert(lab.json["domain"]["controller"]["name"].get<std::string>());
        QCOMPARE(w.names(), std::vector<std::string>(admins.begin(), admins.end()));

        // 2. Who is in the local group "Helpdesk Operators"?
        w.setAccount("Helpdesk Operators", true);
        w.click(IdStartSearch);
        saveScreenshot(&main, "demo-group-mode");
        QCOMPARE(w.names(), (std::vector<std::string>{"PC01", "PC02"}));

        // 3. Those two accounts: a new password, and disabled.
        const QString password = QString("Demo-%1-pw").arg(std::time(nullptr));
        QTest::mouseClick(control<QPushButton>(&main, IdSelectAll), Qt::LeftButton);
        control<QCheckBox>(&main, IdChangePassword)->click();
        control<QLineEdit>(&main, IdPassword)->setText(password);
        control<QLineEdit>(&main, IdVerifyPassword)->setText(password);
        control<QRadioButton>(&main, IdDisableAccount)->click();
        w.once(131, [](QWidget* d) {
            auto* viewLog = control<QPushButton>(d, OperationDialog::IdViewLog);
            while (!viewLog->isEnabled())
                QTest::qWait(20);
            saveScreenshot(d, "demo-operation-status");
            viewLog->click();
        });
        w.click(IdPerform);
        saveScreenshot(&main, "demo-after-batch");
        const bool restored = restoreHelpdesk(lab);
        QDir::setCurrent(cwd);
        QVERIFY(restored);
        for (const auto& row : w.rows())
            QCOMPARE(row[CellEnabled], std::string("No"));
        QCOMPARE(w.shell().opened.size(), std::size_t(1));
        const QString log = output + "/" + QString::fromStdString(w.shell().opened[0]);
        QFile page(log);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        saveRenderedPage(bytes.toStdString(), "demo-activity-log");
        QVERIFY(!bytes.contains(password.toUtf8()));
        for (const char* picture : {"demo-results", "demo-main-window", "demo-group-mode", "demo-operation-status",
                                    "demo-after-batch", "demo-activity-log"})
            keep(picture);
        std::printf("demo: activity log %s\n", qPrintable(log));
    }
};

} // namespace rm

QTEST_MAIN(rm::DemoSearchTest)
#include "DemoSearchTest.moc"
