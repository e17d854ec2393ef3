#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "support/RecordingDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

namespace rm {

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeWindow> fake;
    std::unique_ptr<RecordingDialogs> dialogs;
    ScriptedPrompter* prompter = nullptr;

    std::unique_ptr<MainWindow> open() { return fake->open(dialogs.get()); }
    std::string stored(const char* name) { return fake->profile.readText("Search Options", name, "<absent>"); }
    // Rows PC<rows-1> down to PC0 from the top, as discovery leaves them.
    void fillList(MainWindow& w, int rows, bool searched)
    {
        std::vector<ComputerRow> filled;
        for (int i = rows; i-- > 0;)
            filled.push_back({{"PC" + std::to_string(i), "Server"}, std::nullopt});
        w.computerList().setRows(filled);
        w.controller().setSearchDone(searched);
        w.controller().refreshEnableRules();
    }

private slots:
    void initTestCase() { prepareGuiTest(); }

    void init()
    {
        fake = std::make_unique<FakeWindow>();
        dialogs = std::make_unique<RecordingDialogs>(fake->platform.net.network);
        prompter = &fake->platform.prompter;
    }

    void controlsOfTheTemplate()
    {
        auto w = open();
        QCOMPARE(w->windowTitle(), QString("Korvane Rostermill"));
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(32, 32)));
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(16, 16)));
        QCOMPARE(control<QPushButton>(w.get(), 1000)->text(), QString("Start &Search"));
        QCOMPARE(control<QGroupBox>(w.get(), 1013)->title(), QString("Actions"));
        QVERIFY(control<QRadioButton>(w.get(), 1055)->isVisible());
        QVERIFY(control<QRadioButton>(w.get(), 1056)->isVisible());
        QVERIFY(!control<QLabel>(w.get(), 1016)->isVisible());
        for (int id : {IdGenerateUnique, IdConfigure}) {
            QVERIFY(control<QWidget>(w.get(), id)->isVisible());
            QVERIFY(!control<QWidget>(w.get(), id)->isEnabled());
        }
        QVERIFY(control<QPushButton>(w.get(), 3)->isVisible());
        QVERIFY(control<QRadioButton>(w.get(), 1022)->isChecked());
        QCOMPARE(control<QLineEdit>(w.get(), 1006)->echoMode(), QLineEdit::Password);
        QCOMPARE(w->focusWidget(), control<QWidget>(w.get(), IdAccountName));
        QCOMPARE(control<QLineEdit>(w.get(), IdAccountName)->selectedText(), QString("Administrator"));

        auto* list = control<QTableView>(w.get(), IdComputerList);
        QVERIFY(!list->isEnabled());
        QCOMPARE(list->model()->columnCount(), 6);
        const char* headers[] = {"Computer Name", "Type", "User", "Enabled", "Groups", "Password Age"};
        const int widths[] = {180, 150, 80, 50, 300, 120};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(list->model()->headerData(c, Qt::Horizontal).toString(), QString(headers[c]));
            QCOMPARE(list->horizontalHeader()->sectionSize(c), widths[c]);
        }
        QVERIFY(list->horizontalHeader()->sectionsMovable());
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);

        // The user and enabled-state radio groups do not exclude one another.
        control<QRadioButton>(w.get(), 1056)->setChecked(true);
        QVERIFY(control<QRadioButton>(w.get(), 1022)->isChecked());
    }

    void firstStartWritesBothSectionsAtOnce()
    {
        fake->platform.net.identity.known = true;
        fake->platform.net.identity.domain = "LAB";
        fake->platform.net.identity.dns = "lab.example";
        auto w = open();
        QTRY_COMPARE(control<QLabel>(w.get(), IdDomain)->text(), QString("lab.example")); // the lookup's end
        const std::string text = TempDir::read(fake->profile.file());
        for (const char* name : {"Domain", "PingScan", "ScanHidden", "ScanType", "RestrictToOrgUnit",
                                 "ServersOnly", "OrgUnit", "GenerateUnique", "Passwords", "Lowercase",
                                 "Uppercase", "Numerals", "Symbols", "NoSimilar", "RandomCaps",
                                 "DictionaryFile", "BitsOfEntropy", "SaveToFile", "SaveToLog"})
            QVERIFY2(text.find(std::string("\"") + name + "\"=") != std::string::npos, name);
        QVERIFY(text.find("\"Domain\"=\"lab.example\"") != std::string::npos);
        QVERIFY(text.find("Username") == std::string::npos);
    }

    void aboutBoxOpensOnceAtStartAndOnRequest()
    {
        auto w = open();
        QCOMPARE(dialogs->aboutRuns, 1);
        QTest::mouseClick(control<QPushButton>(w.get(), IdAbout), Qt::LeftButton);
        QCOMPARE(dialogs->aboutRuns, 2);
        saveScreenshot(w.get(), "main-window");
    }

    void enterDoesNothing()
    {
        auto w = open();
        auto* edit = control<QLineEdit>(w.get(), IdAccountName);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QCoreApplication::processEvents();
        QVERIFY(w->isVisible());
        QVERIFY(prompter->shown.empty());
        QCOMPARE(dialogs->searchOptionsRuns, 0);
        QCOMPARE(stored("Username"), std::string("<absent>"));
    }

    void quitQuestionWithRowsSelected()
    {
        auto w = open();
        fillList(*w, 3, true);
        w->computerList().setSelected(1, true);

        prompter->answers = {MessageAnswer::No};
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(prompter->shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompter->shown[0].text),
                 QString("You have some machines selected.  Are you sure you want to quit?"));
        QCOMPARE(QString::fromStdString(prompter->shown[0].title), QString("Rostermill"));
        QVERIFY(w->computerList().isSelected(1));

        prompter->answers = {MessageAnswer::No};
        QVERIFY(!w->close()); // the title bar's close box asks as well
        QVERIFY(w->isVisible());
        QCOMPARE(prompter->shown.size(), std::size_t(2));

        prompter->answers = {MessageAnswer::Yes};
        QTest::mouseClick(control<QPushButton>(w.get(), IdQuit), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    void emptyNameQuitStoresAnEmptyName()
    {
        {
            auto w = open();
            control<QLineEdit>(w.get(), IdAccountName)->clear();
            control<QRadioButton>(w.get(), IdGroupMode)->setChecked(true);
            QTest::mouseClick(control<QPushButton>(w.get(), IdQuit), Qt::LeftButton);
            QVERIFY(!w->isVisible());
            QVERIFY(prompter->shown.empty());
        }
        QCOMPARE(stored("Username"), std::string(""));
        QCOMPARE(fake->profile.readInteger("Search Options", "Search Groups", 7), 1u);
        auto again = open();
        QCOMPARE(control<QLineEdit>(again.get(), IdAccountName)->text(), QString(""));
        QVERIFY(control<QRadioButton>(again.get(), IdGroupMode)->isChecked());
    }

    // A click on the choice turns the name off; quit keeps the choice and the
    // name as typed for the next start.
    void builtinAdministratorChoiceIsKeptAndNeedsNoName()
    {
        {
            auto w = open();
            auto* builtin = control<QRadioButton>(w.get(), IdBuiltinAdminMode);
            QVERIFY(builtin->isVisible());
            QCOMPARE(builtin->text(), QString("The built-in a&dministrator account (any name)"));
            QTest::mouseClick(builtin, Qt::LeftButton);
            QVERIFY(builtin->isChecked());
            QVERIFY(!control<QLineEdit>(w.get(), IdAccountName)->isEnabled());
            QTest::mouseClick(control<QRadioButton>(w.get(), IdUserMode), Qt::LeftButton);
            QVERIFY(control<QLineEdit>(w.get(), IdAccountName)->isEnabled());
            QTest::mouseClick(builtin, Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(w.get(), IdQuit), Qt::LeftButton);
            QVERIFY(!w->isVisible());
        }
        QCOMPARE(fake->profile.readInteger("Search Options", "Search Builtin Administrator", 7), 1u);
        QCOMPARE(fake->profile.readInteger("Search Options", "Search Groups", 7), 0u);
        auto again = open();
        QVERIFY(control<QRadioButton>(again.get(), IdBuiltinAdminMode)->isChecked());
        QVERIFY(!control<QLineEdit>(again.get(), IdAccountName)->isEnabled());
        QCOMPARE(control<QLineEdit>(again.get(), IdAccountName)->text(), QString("Administrator"));
    }

    void enableRulesFollowTheCheckBoxes()
    {
        auto w = open();
        fillList(*w, 2, false);
        QVERIFY(control<QPushButton>(w.get(), IdSelectAll)->isEnabled());
        QVERIFY(!control<QCheckBox>(w.get(), IdChangePassword)->isEnabled());
        QTest::mouseClick(control<QPushButton>(w.get(), IdSelectAll), Qt::LeftButton);
        QCOMPARE(selectedRows(w->computerList()), (std::vector<int>{0, 1}));
        // The list shows it as one selection of all rows.
        QCoreApplication::processEvents();
        const QItemSelection shown = control<QTableView>(w.get(), IdComputerList)->selectionModel()->selection();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].top(), 0);
        QCOMPARE(shown[0].bottom(), 1);
        QCOMPARE(shown[0].width(), 6);

        w->controller().setSearchDone(true);
        w->controller().refreshEnableRules();
        auto* change = control<QCheckBox>(w.get(), IdChangePassword);
        QVERIFY(change->isEnabled());
        QVERIFY(!control<QLineEdit>(w.get(), IdPassword)->isEnabled());
        QTest::mouseClick(change, Qt::LeftButton);
        QVERIFY(change->isChecked());
        QVERIFY(control<QLineEdit>(w.get(), IdPassword)->isEnabled());
        QVERIFY(control<QLineEdit>(w.get(), IdVerifyPassword)->isEnabled());
        QVERIFY(control<QLabel>(w.get(), IdVerifyLabel)->isEnabled());
        QTest::mouseClick(change, Qt::LeftButton);
        QVERIFY(!control<QLineEdit>(w.get(), IdPassword)->isEnabled());
        QVERIFY(!control<QLabel>(w.get(), IdVerifyLabel)->isEnabled());

        auto* rename = control<QCheckBox>(w.get(), IdChangeUsername);
        QTest::mouseClick(rename, Qt::LeftButton);
        QVERIFY(control<QLineEdit>(w.get(), IdNewUserName)->isEnabled());
    }

    // Ticked: the typed passwords give way to Configure, and the choice
    // outlives the window.
    void uniquePasswordsBoxTakesOverFromTheTypedOnes()
    {
        auto w = open();
        w->computerList().setRows({{{"PC1", "Server"}, AccountInfo{"Administrator", true, {"Administrators"}, 86400, 500}},
                                   {{"PC2", "Server"}, AccountInfo{"Administrator", true, {"Administrators"}, 86400, 500}}});
        w->controller().setSearchDone(true);
        w->controller().refreshEnableRules();
        QTest::mouseClick(control<QPushButton>(w.get(), IdSelectAll), Qt::LeftButton);
        auto* unique = control<QCheckBox>(w.get(), IdGenerateUnique);
        QVERIFY(!unique->isEnabled());
        click(w.get(), IdChangePassword);
        QVERIFY(unique->isEnabled());
        QVERIFY(!control<QPushButton>(w.get(), IdConfigure)->isEnabled());
        click(w.get(), IdGenerateUnique);
        QVERIFY(unique->isChecked());
        QVERIFY(unique->sizeHint().width() <= unique->width()); // the caption is not cut
        QVERIFY(control<QPushButton>(w.get(), IdConfigure)->isEnabled());
        QVERIFY(!control<QLineEdit>(w.get(), IdPassword)->isEnabled());
        QVERIFY(!control<QLineEdit>(w.get(), IdVerifyPassword)->isEnabled());
        // Nothing at the bottom row covers another control.
        for (int id : {IdAbout, IdConfigure, IdQuit, IdActionsFrame})
            QVERIFY2(!control<QWidget>(w.get(), id)->geometry().intersects(unique->geometry()),
                     qPrintable(QString::number(id)));
        QVERIFY(!control<QWidget>(w.get(), IdConfigure)->geometry().intersects(control<QWidget>(w.get(), IdQuit)->geometry()));
        saveScreenshot(w.get(), "unique-passwords");

        QTest::mouseClick(control<QPushButton>(w.get(), IdConfigure), Qt::LeftButton);
        QCOMPARE(dialogs->passwordOptionsRuns, 1);
        w->computerList().setSelected(0, false);
        w->computerList().setSelected(1, false);
        QTest::mouseClick(control<QPushButton>(w.get(), IdQuit), Qt::LeftButton);
        QCOMPARE(fake->profile.readInteger("Passwords", "GenerateUnique", 0), 1u);
        auto again = open();
        QVERIFY(control<QCheckBox>(again.get(), IdGenerateUnique)->isChecked());
    }

    void headerClicksSortTheRowsInPlace()
    {
        auto w = open();
        w->computerList().setRows({{{"PC1", "Server"}, {}}, {{"pc10", "Server"}, {}}, {{"PC2", "Server"}, {}}});
        w->controller().setSearchDone(true);
        w->controller().refreshEnableRules();
        auto* list = control<QTableView>(w.get(), IdComputerList);
        w->computerList().setSelected(0, true); // "PC1"
        QHeaderView* header = list->horizontalHeader();
        const QPoint first(header->sectionViewportPosition(0) + 5, header->height() / 2);
        auto names = [&] {
            std::vector<std::string> n;
            for (int r = 0; r < w->computerList().rowCount(); ++r)
                n.push_back(w->computerList().cellText(r, CellName));
            return n;
        };
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, first);
        QCOMPARE(names(), (std::vector<std::string>{"PC1", "pc10", "PC2"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(names(), (std::vector<std::string>{"PC1", "PC2", "pc10"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(names(), (std::vector<std::string>{"pc10", "PC2", "PC1"}));
        QVERIFY(w->computerList().isSelected(2)); // the selection went with its row
        QCOMPARE(selectedRows(w->computerList()).size(), std::size_t(1));

        // Moving a column changes only the display.
        header->moveSection(header->visualIndex(CellGroups), 0);
        w->computerList().setAccount(0, {"Administrator", true, {"Administrators"}, 0, 500});
        QCOMPARE(w->computerList().cellText(0, CellGroups), std::string("Administrators"));
        QCOMPARE(list->model()->index(0, CellGroups).data().toString(), QString("Administrators"));
    }

    // Export List writes the list as it stands: sorted rows top to bottom,
    // cells in column order whatever order the headings were dragged into.
    void exportListWritesTheRowsAsShown()
    {
        auto w = fake->open(); // the real dialogs: the save dialog and the question are doubles
        auto* button = control<QPushButton>(w.get(), IdExportList);
        QVERIFY(!button->isEnabled());
        fillList(*w, 3, false); // PC2, PC1, PC0 from the top
        QVERIFY(button->isEnabled()); // with rows, searched or not
        w->computerList().setAccount(0, {"R&D", false, {"<none>"}, 12 * 86400, 1000});
        w->controller().setSearchDone(true);
        w->controller().refreshEnableRules();
        QHeaderView* header = control<QTableView>(w.get(), IdComputerList)->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(CellName) + 5, header->height() / 2));
        header->moveSection(header->visualIndex(CellGroups), 0);

        FakeWindowServices& p = fake->platform;
        p.wallClock.time = 1796652309;
        p.chooser.answers = {"/reports/list.html"};
        prompter->answers = {MessageAnswer::Yes};
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(p.chooser.requests.size(), std::size_t(1));
        QVERIFY(p.chooser.requests[0].initialName.rfind("Computer List ", 0) == 0);
        QCOMPARE(p.files.paths, std::vector<std::string>{"/reports/list.html"});
        const std::string page = p.files.contents[0];
        QVERIFY(page.find("<TITLE>Rostermill - Computer List</TITLE>") != std::string::npos);
        QVERIFY(page.find("<TH>Computer</TH>\r\n<TH>Computer Type</TH>\r\n<TH>User Name</TH>\r\n"
                          "<TH>Account Enabled</TH>\r\n<TH>Local Groups</TH>\r\n<TH>Password Age</TH>")
                != std::string::npos);
        const std::size_t pc0 = page.find("<TD>PC0</TD>"), pc1 = page.find("<TD>PC1</TD>"),
                          pc2 = page.find("<TD>PC2</TD>\r\n<TD>Server</TD>\r\n<TD>R&amp;D</TD>\r\n<TD>No</TD>\r\n"
                                          "<TD>&lt;none&gt;</TD>\r\n<TD>12 days</TD>");
        QVERIFY(pc0 < pc1 && pc1 < pc2 && pc2 != std::string::npos);
        QCOMPARE(prompter->shown.size(), std::size_t(1));
        QCOMPARE(prompter->shown[0].text, std::string("List saved.  View list now?"));
        QCOMPARE(p.shell.opened, std::vector<std::string>{"/reports/list.html"});
        saveRenderedPage(page, "main-window-export-list");

        // Cancelled: no file and no question.
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(p.chooser.requests.size(), std::size_t(2));
        QCOMPARE(p.files.paths.size(), std::size_t(1));
        QCOMPARE(prompter->shown.size(), std::size_t(1));
    }

    void startSearchRunsTheSearchCommand()
    {
        fake->profile.writeText("Search Options", "Domain", "lab.example");
        fake->profile.writeInteger("Search Options", "PingScan", 0);
        FakeNetwork& network = fake->platform.net.network;
        network.browseEntries = {{"PC1", BrowseType::ServerNt, 10, 0}};
        network.computers["\\\\PC1"].accounts["Administrator"] = {};
        auto w = open();
        QTest::mouseClick(control<QPushButton>(w.get(), IdStartSearch), Qt::LeftButton);
        QCOMPARE(dialogs->steps, (std::vector<std::string>{"discovery", "check"}));
        QCOMPARE(dialogs->results.size(), std::size_t(1));
        QCOMPARE(w->computerList().rowCount(), 1);
        QCOMPARE(w->computerList().cellText(0, CellUser), std::string("Administrator"));
        QVERIFY(control<QTableView>(w.get(), IdComputerList)->isEnabled());
        QVERIFY(control<QPushButton>(w.get(), IdPerform)->isEnabled());
        QCOMPARE(fake->platform.waitCursor.depth, 0);
    }

    // Perform: the batch in its status dialog, the row written back, the log
    // written in the current folder and opened.
    void performRunsTheBatchAndWritesTheLog()
    {
        FakeWindowServices& p = fake->platform;
        p.net.network.computers["\\\\PC1"].accounts["u"] = {};
        p.wallClock.time = 1796652309;
        auto w = fake->open(); // the real dialogs
        w->computerList().setRows({{{"PC1", "Server"}, AccountInfo{"u", true, {}, 0, 1000}}});
        w->controller().setSearchDone(true);
        w->controller().refreshEnableRules();
        QTest::mouseClick(control<QPushButton>(w.get(), IdSelectAll), Qt::LeftButton);
        control<QRadioButton>(w.get(), IdDisableAccount)->click();
        prompter->answers = {MessageAnswer::Yes};
        QString status;
        QTimer::singleShot(0, w.get(), [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d && d != w.get());
            auto* viewLog = control<QPushButton>(d, 1);
            QTRY_VERIFY(viewLog->isEnabled());
            status = control<QLabel>(d, 1034)->text();
            QTest::mouseClick(viewLog, Qt::LeftButton);
        });
        QTest::mouseClick(control<QPushButton>(w.get(), IdPerform), Qt::LeftButton);
        QCOMPARE(status, QString("Operation Completed."));
        QCOMPARE(p.net.network.changes, std::vector<std::string>{"\\\\PC1 u enabled 0"});
        QCOMPARE(w->computerList().cellText(0, CellEnabled), std::string("No"));
        QCOMPARE(p.files.paths.size(), std::size_t(1));
        QVERIFY(p.files.paths[0].rfind("Log ", 0) == 0); // no folder: the current one
        QVERIFY(p.files.contents[0].find("<TD>PC1</TD>") != std::string::npos);
        QCOMPARE(p.shell.opened, p.files.paths);
    }

    void domainLabelWithAnOrganizationalUnit()
    {
        fake->profile.writeText("Search Options", "Domain", "lab.example");
        fake->profile.writeInteger("Search Options", "ScanType", 1);
        fake->profile.writeInteger("Search Options", "RestrictToOrgUnit", 1);
        auto w = open();
        QCOMPARE(control<QLabel>(w.get(), 1057)->text(), QString("Org Unit:"));
        QCOMPARE(control<QLabel>(w.get(), IdDomain)->text(), QString("lab.example/"));
    }

    void searchOptionsButtonRunsTheExchange()
    {
        auto w = open();
        dialogs->editSearchOptions = [](SearchOptions& o) { o.domain = "corp.example"; };
        QTest::mouseClick(control<QPushButton>(w.get(), 1086), Qt::LeftButton);
        QCOMPARE(control<QLabel>(w.get(), IdDomain)->text(), QString("corp.example"));
        QCOMPARE(stored("Domain"), std::string("corp.example"));
        QCOMPARE(w->focusWidget(), control<QWidget>(w.get(), IdStartSearch));
    }

    void resizingKeepsTheControlsToTheirEdges()
    {
        auto w = open();
        const QSize start = w->size();
        QCOMPARE(w->minimumSize(), start);
        auto geometry = [&](int id) { return control<QWidget>(w.get(), id)->geometry(); };
        const QRect edit = geometry(IdAccountName), search = geometry(IdStartSearch),
                    list = geometry(IdComputerList), quit = geometry(IdQuit),
                    about = geometry(IdAbout), password = geometry(IdPassword),
                    options = geometry(1086), exportList = geometry(IdExportList),
                    perform = geometry(IdPerform), label = geometry(1057);
        w->resize(start + QSize(100, 60));
        QCoreApplication::processEvents();
        QCOMPARE(geometry(IdAccountName), edit.adjusted(0, 0, 100, 0));
        QCOMPARE(geometry(IdStartSearch), search.translated(100, 0));
        QCOMPARE(geometry(1086), options.translated(100, 0));
        QCOMPARE(geometry(IdComputerList), list.adjusted(0, 0, 100, 60));
        QCOMPARE(geometry(IdPassword), password.adjusted(0, 60, 100, 60));
        QCOMPARE(geometry(IdExportList), exportList.translated(100, 60));
        QCOMPARE(geometry(IdPerform), perform.translated(100, 60));
        QCOMPARE(geometry(IdQuit), quit.translated(100, 60));
        QCOMPARE(geometry(IdAbout), about.translated(0, 60));
        QCOMPARE(geometry(1057), label); // not registered
        auto* grip = w->findChild<QSizeGrip*>(QString::number(DynamicDialog::SizeGripId));
        QVERIFY(grip);
        QCOMPARE(grip->geometry().bottomRight(), QPoint(w->width() - 1, w->height() - 1));

        w->resize(start - QSize(50, 50)); // never smaller than built
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), start);
        QCOMPARE(geometry(IdQuit), quit);
    }
};

} // namespace rm

QTEST_MAIN(rm::MainWindowTest)
#include "MainWindowTest.moc"
