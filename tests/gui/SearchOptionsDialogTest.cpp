#include "settings/SettingsStore.h"
#include "gui/dialogs/SearchOptionsDialog.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "settings/RegistryFileStore.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeIcmp.h"
#include "support/FakeNetwork.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace rm {

class SearchOptionsDialogTest : public QObject {
    Q_OBJECT

    ScriptedPrompter prompter;

    // Near the left edge: a check box or radio button takes clicks on its mark and caption only.
    static void click(QWidget* d, int id)
    {
        auto* button = control<QAbstractButton>(d, id);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static void retype(QWidget* d, int id, const QString& s)
    {
        auto* edit = control<QLineEdit>(d, id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, s);
    }
    static bool checked(QWidget* d, int id) { return control<QAbstractButton>(d, id)->isChecked(); }
    static bool enabled(QWidget* d, int id) { return control<QWidget>(d, id)->isEnabled(); }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init() { prompter = {}; }

    void opensWithItsControlsAndTheStoredValues()
    {
        SearchOptionsDialog d({"lab.example", true, true, 1, true, false, "Branches/East"}, prompter, nullptr);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Rostermill Search Options"));
        QCOMPARE(control<QLineEdit>(&d, IdScanDomain)->text(), QString("lab.example"));
        QCOMPARE(control<QLineEdit>(&d, IdOrgUnit)->text(), QString("Branches/East"));
        QVERIFY(control<QLineEdit>(&d, IdScanDomain)->isVisible());
        QVERIFY(!control<QComboBox>(&d, IdDomainChoice)->isVisible());
        QVERIFY(checked(&d, IdDirectoryMethod) && !checked(&d, IdBrowseListMethod));
        QVERIFY(checked(&d, IdAllComputers) && !checked(&d, IdServersOnly));
        QVERIFY(checked(&d, IdRestrictToUnit) && checked(&d, IdScanHidden) && checked(&d, IdPingScan));
        QVERIFY(enabled(&d, IdOrgUnit));
        QVERIFY(!enabled(&d, IdScanHidden)); // a restricted directory scan has no hidden computers
        QCOMPARE(control<QAbstractButton>(&d, IdBrowseListMethod)->text(),
                 QString("Domain Controller's Master Browser List (NetBIOS)"));
        QCOMPARE(control<QAbstractButton>(&d, IdScanHidden)->text(),
                 QString("Also include computers hidden from the browser list"));
        QCOMPARE(control<QAbstractButton>(&d, IdPingScan)->text(), QString("Skip computers that ignore pings"));
        saveScreenshot(&d, "search-options");
    }

    void clicksApplyTheRulesAndOkStoresEveryControl()
    {
        SearchOptionsDialog d({"lab.example", true, true, 0, false, false, ""}, prompter, nullptr);
        d.show();
        QVERIFY(!enabled(&d, IdRestrictToUnit) && !enabled(&d, IdOrgUnit) && enabled(&d, IdScanHidden));
        click(&d, IdDirectoryMethod);
        QVERIFY(enabled(&d, IdRestrictToUnit) && !enabled(&d, IdOrgUnit));
        click(&d, IdRestrictToUnit);
        QVERIFY(enabled(&d, IdOrgUnit) && !enabled(&d, IdScanHidden));
        QVERIFY(checked(&d, IdScanHidden));
        click(&d, IdServersOnly);
        click(&d, IdPingScan);

        // An empty unit is refused, with the focus put on it.
        control<QWidget>(&d, IdScanDomain)->setFocus();
        click(&d, IdOk);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(d.isVisible());
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(prompter.shown[0].text, std::string("You must enter an organizational unit if you wish to restrict the scan."));
        QCOMPARE(d.focusWidget(), control<QWidget>(&d, IdOrgUnit));

        retype(&d, IdOrgUnit, "Branches/East");
        click(&d, IdOk);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.options() == (SearchOptions{"lab.example", false, true, 1, true, true, "Branches/East"}));
    }

    void anEmptyDomainIsRefusedFirst()
    {
        SearchOptionsDialog d({"", true, true, 1, true, false, ""}, prompter, nullptr);
        d.show();
        control<QWidget>(&d, IdOrgUnit)->setFocus();
        click(&d, IdOk);
        QVERIFY(d.isVisible());
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(prompter.shown[0].text, std::string("You must enter a domain name."));
        QCOMPARE(d.focusWidget(), control<QWidget>(&d, IdScanDomain));
        click(&d, IdCancel);
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void mainWindowExchangeStoresTheSearchOptions()
    {
        TempDir dir;
        RegistryFileStore profile(dir / "Rostermill.reg", "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill");
        profile.writeText("Search Options", "Domain", "lab.example");
        SettingsStore settings(profile);
        FakeShell shell;
        FakeIdentity identity;
        FakeNetwork network;
        FakeDirectory directory;
        PosixThreadStarter threads;
        SteadyTickClock clock;
        CountingWaitCursor waitCursor;
        ScriptedFileChooser chooser;
        FailingFileWriter files(FileFailure::Generic);
        ManualWallClock wallClock;
        FakeResolver resolver;
        ScriptedClock icmpClock;
        FakeIcmp icmp{icmpClock};
        MainWindow w({settings, {prompter, shell, identity, network, directory, threads, clock, waitCursor, chooser,
                                  files, wallClock, resolver, icmp}});
        QCoreApplication::removePostedEvents(&w, QEvent::User + 1); // not the start's About box
        w.show();

        // Answer the modal dialog from inside its own loop.
        auto answer = [](int button) {
            QTimer::singleShot(0, [=] {
                auto* d = qobject_cast<SearchOptionsDialog*>(QApplication::activeModalWidget());
                QVERIFY(d);
                click(d, IdDirectoryMethod);
                click(d, IdRestrictToUnit);
                retype(d, IdOrgUnit, "Branches/East");
                click(d, button);
            });
        };
        answer(IdCancel);
        w.controller().searchOptionsExchange();
        QCOMPARE(profile.readInteger("Search Options", "ScanType", 9), 0u);
        QCOMPARE(control<QLabel>(&w, IdDomain)->text(), QString("lab.example"));

        answer(IdOk);
        w.controller().searchOptionsExchange();
        QCOMPARE(profile.readInteger("Search Options", "ScanType", 9), 1u);
        QCOMPARE(profile.readInteger("Search Options", "RestrictToOrgUnit", 9), 1u);
        QCOMPARE(profile.readText("Search Options", "OrgUnit", ""), std::string("Branches/East"));
        QCOMPARE(control<QLabel>(&w, IdDomainLabel)->text(), QString("Org Unit:"));
        QCOMPARE(control<QLabel>(&w, IdDomain)->text(), QString("lab.example/Branches/East"));
    }
};

} // namespace rm

QTEST_MAIN(rm::SearchOptionsDialogTest)
#include "SearchOptionsDialogTest.moc"
