#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/SearchOptionsDialog.h"
#include "gui/mainwindow/MainWindowIds.h"

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

    static bool checked(QWidget* d, int id) { return control<QAbstractButton>(d, id)->isChecked(); }
    static bool enabled(QWidget* d, int id) { return control<QWidget>(d, id)->isEnabled(); }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init() { prompter = {}; }

    void opensWithItsControlsAndTheStoredValues()
    {
        SearchOptionsDialog d({"lab.example", true, true, DiscoveryMethod::Directory, true, false, "Branches/East"},
                              prompter, nullptr);
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
        SearchOptionsDialog d({"lab.example", true, true, DiscoveryMethod::BrowseList, false, false, ""}, prompter,
                              nullptr);
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
        QVERIFY(d.options()
                == (SearchOptions{"lab.example", false, true, DiscoveryMethod::Directory, true, true, "Branches/East"}));
    }

    void anEmptyDomainIsRefusedFirst()
    {
        SearchOptionsDialog d({"", true, true, DiscoveryMethod::Directory, true, false, ""}, prompter, nullptr);
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
        FakeWindow fake;
        fake.profile.writeText("Search Options", "Domain", "lab.example");
        auto window = fake.open(); // the real dialogs
        MainWindow& w = *window;
        RegistryFileStore& profile = fake.profile;

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
