// The program's main window searching the lab for real: the domain's browse
// list, the account check over the helper pool, the results; screenshots of
// each step land in the build's screenshot folder.
#include "app/CMainApp.h"
#include "app/SettingsStore.h"
#include "gui/GuiTestSupport.h"
#include "mainwindow/CMainDialog.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/linux/AddrInfoResolver.h"
#include "platform/linux/LinuxIcmpSockets.h"
#include "platform/linux/NetworkIdentity.h"
#include "platform/linux/PosixFileWriter.h"
#include "platform/linux/PosixThreads.h"
#include "platform/linux/SystemWallClock.h"
#include "platform/linux/RegistryFileStore.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtWaitCursor.h"
#include "platform/samba/SambaNetworkManagement.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/LabManifest.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <set>

namespace rm {

class DemoSearchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareGuiTest();
        if (!LabManifest::load().available())
            QSKIP("lab not available");
    }

    // Members announce themselves to the master browser within seconds to
    // minutes of starting: right after lab/up its list may still be empty.
    static void waitForTheBrowseList(const LabManifest& lab, SambaNetworkManagement& network)
    {
        network.setCredentials(lab.operatorAccount(), lab.operatorPassword());
        std::set<std::string> wanted;
        for (const auto& m : lab.json["members"])
            if (m["browse"] != "none")
                wanted.insert(m["name"].get<std::string>());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::vector<SERVER_INFO_101> servers;
            std::set<std::string> listed;
            if (network.NetServerEnum(lab.json["domain"]["netbios"], SV_TYPE_ALL, servers) == NERR_Success)
                for (const auto& s : servers)
                    listed.insert(s.sv101_name);
            if (std::includes(listed.begin(), listed.end(), wanted.begin(), wanted.end()))
                return;
            QTest::qWait(3000);
        }
    }

    void searchTheLabForAdministrator()
    {
        const LabManifest lab = LabManifest::load();
        TempDir dir;
        RegistryFileStore profile(dir / "Rostermill.reg", "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill");
        SettingsStore settings(profile);
        ScriptedPrompter prompter; // the lab's browse list has no controller: "Partial Failure" is answered OK
        FakeShell shell;
        SambaNetworkManagement network({HELPER_PATH, 16, std::chrono::milliseconds(30000)});
        NetworkIdentity identity(network, network, [&](std::string& account, std::string& password) {
            account = lab.operatorAccount();
            password = lab.operatorPassword();
            return true;
        });
        FakeDirectory directory;
        PosixThreadStarter threads;
        SteadyTickClock clock;
        QtWaitCursor waitCursor;
        QtFileChooser fileChooser;
        PosixFileWriter fileWriter;
        SystemWallClock wallClock;
        AddrInfoResolver resolver;
        LinuxIcmpSockets icmp;
        profile.writeText("Search Options", "Domain", lab.json["domain"]["netbios"]);
        profile.writeInteger("Search Options", "PingScan", 0);
        waitForTheBrowseList(lab, network);

        CMainDialog w({settings, {prompter, shell, identity, network, directory, threads, clock, waitCursor, fileChooser,
                                  fileWriter, wallClock, resolver, icmp}});
        QCoreApplication::removePostedEvents(&w, QEvent::User + 1); // no About box in the demo
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        control<QLineEdit>(&w, IdAccountName)->setText("Administrator");

        // The results dialog: photographed, then continued.
        bool resultsSeen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == "145") {
                saveScreenshot(modal, "demo-results");
                resultsSeen = true;
                QTest::mouseClick(control<QPushButton>(modal, 1), Qt::LeftButton);
            }
        });
        poll.start(50);
        QTest::mouseClick(control<QPushButton>(&w, IdStartSearch), Qt::LeftButton);
        poll.stop();
        QVERIFY(resultsSeen);
        saveScreenshot(&w, "demo-main-window");

        std::set<std::string> names;
        for (int r = 0; r < w.computerList().rowCount(); ++r)
            names.insert(w.computerList().cellText(r, CellName));
        QCOMPARE(names, (std::set<std::string>{"PC01", "PC02"})); // PC03's Administrator was renamed
        QVERIFY(control<QWidget>(&w, IdPerform)->isEnabled());
    }
};

} // namespace rm

QTEST_MAIN(rm::DemoSearchTest)
#include "DemoSearchTest.moc"
