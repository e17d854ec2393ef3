#include "gui/mainwindow/MainWindowController.h"

#include "core/search/DefaultDomainName.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "gui/resources/StringTable.h"

namespace rm {

MainWindowController::MainWindowController(Services services) : s_(services) {}

// A lookup still running ends within its calls' time limits; its job waits for it.
MainWindowController::~MainWindowController() = default;

void MainWindowController::initialise()
{
    searchOptions_ = s_.settings.loadSearchOptions();
    passwordOptions_ = s_.settings.loadPasswordOptions();
    refreshDomainLabel();
    if (searchOptions_.domain.empty()) {
        domainLookup_ = std::make_unique<Job>(
            [this](const CancelToken&) { lookedUpDomain_ = defaultDomainName(s_.identity); });
        domainLookup_->start(s_.ui, [this] { defaultDomainFound(); });
    }
    // Written at once, so that the defaults are stored from the first start
    // on; a found domain follows when the lookup ends.
    s_.settings.saveSearchOptions(searchOptions_);
    s_.settings.savePasswordOptions(passwordOptions_);

    s_.controls.setText(IdAccountName, s_.settings.loadUsername());
    s_.controls.selectAllText(IdAccountName);
    s_.controls.setFocus(IdAccountName);
    s_.controls.setChecked(s_.settings.loadSearchBuiltinAdministrator() ? IdBuiltinAdminMode
                           : s_.settings.loadSearchGroups()            ? IdGroupMode
                                                                       : IdUserMode,
                           true);
    // No name is typed for the built-in administrator.
    s_.controls.setEnabled(IdAccountName, !s_.controls.isChecked(IdBuiltinAdminMode));

    s_.controls.setVisible(IdLocalUserLabel, false);
    s_.controls.setVisible(IdUserMode, true);
    s_.controls.setVisible(IdGroupMode, true);
    s_.controls.setVisible(IdBuiltinAdminMode, true);
    s_.controls.setVisible(IdExportList, true);
    s_.controls.setChecked(IdKeepEnabledState, true);
    s_.controls.setChecked(IdGenerateUnique, passwordOptions_.generateUnique);
}

void MainWindowController::defaultDomainFound()
{
    if (!domainLookup_)
        return; // already taken, by a search that waited for it
    domainLookup_->join();
    const std::string found = lookedUpDomain_;
    domainLookup_.reset();
    if (!searchOptions_.domain.empty())
        return;
    searchOptions_.domain = found;
    s_.controls.setText(IdDomain, searchOptions_.domain);
    s_.settings.saveSearchOptions(searchOptions_);
}

void MainWindowController::refreshDomainLabel()
{
    if (searchOptions_.method == DiscoveryMethod::Directory && searchOptions_.restrictToOrgUnit) {
        s_.controls.setText(IdDomainLabel, "Org Unit:");
        s_.controls.setText(IdDomain, searchOptions_.domain + "/" + searchOptions_.orgUnit);
    } else {
        s_.controls.setText(IdDomainLabel, "Domain:");
        s_.controls.setText(IdDomain, searchOptions_.domain);
    }
}

void MainWindowController::refreshEnableRules()
{
    DialogControls& c = s_.controls;
    const int rows = s_.list.rowCount();
    const bool active = rows > 0 && searchDone_;

    c.setEnabled(IdComputerList, active);
    c.setEnabled(IdAccountName, !c.isChecked(IdBuiltinAdminMode));
    c.setEnabled(IdUserMode, true);
    c.setEnabled(IdGroupMode, true);
    c.setEnabled(IdBuiltinAdminMode, true);
    c.setEnabled(IdExportList, rows > 0);
    c.setEnabled(IdSelectAll, rows > 0);
    for (int id : {IdEnableLabel, IdChangePassword, IdChangeUsername, IdPerform, IdDisableAccount,
                   IdEnableAccount, IdKeepEnabledState})
        c.setEnabled(id, active);

    if (active && c.isChecked(IdChangePassword)) {
        c.setEnabled(IdVerifyLabel, true);
        c.setEnabled(IdGenerateUnique, true);
        const bool generated = c.isChecked(IdGenerateUnique);
        c.setEnabled(IdPassword, !generated);
        c.setEnabled(IdVerifyPassword, !generated);
        c.setEnabled(IdConfigure, generated);
    } else if (active) {
        for (int id : {IdPassword, IdVerifyPassword, IdVerifyLabel, IdGenerateUnique, IdConfigure})
            c.setEnabled(id, false);
    } else {
        // The verify label, the unique-password box and Configure keep their state.
        c.setEnabled(IdPassword, false);
        c.setEnabled(IdVerifyPassword, false);
    }
    c.setEnabled(IdNewUserName, active && c.isChecked(IdChangeUsername));
}

void MainWindowController::selectAll()
{
    if (s_.list.rowCount() > 0)
        s_.list.selectAll();
    s_.controls.setFocus(IdComputerList);
}

void MainWindowController::searchOptionsExchange()
{
    SearchOptions copy = searchOptions_;
    if (!s_.dialogs.runSearchOptions(copy))
        return;
    searchOptions_ = copy;
    refreshDomainLabel();
    s_.controls.setFocus(IdStartSearch);
    s_.settings.saveSearchOptions(searchOptions_);
}

void MainWindowController::passwordOptionsExchange()
{
    if (s_.dialogs.runPasswordOptions(passwordOptions_))
        savePasswordOptions();
}

// The box is part of the record, saved with it.
void MainWindowController::savePasswordOptions()
{
    passwordOptions_.generateUnique = s_.controls.isChecked(IdGenerateUnique);
    s_.settings.savePasswordOptions(passwordOptions_);
}

void MainWindowController::exportList()
{
    std::vector<ComputerCells> rows;
    for (int row = 0, n = s_.list.rowCount(); row < n; ++row)
        rows.push_back(computerCells(s_.list.row(row)));
    s_.dialogs.exportList(rows);
}

void MainWindowController::showAbout()
{
    s_.dialogs.runAbout();
}

bool MainWindowController::quit()
{
    if (hasSelection(s_.list)) {
        Message question{loadString(IdsApplicationTitle),
                         "You have some machines selected.  Are you sure you want to quit?",
                         MessageButtons::YesNo, MessageIcon::Question};
        if (s_.prompter.show(question) != MessageAnswer::Yes)
            return false;
    }
    s_.settings.saveUsername(s_.controls.text(IdAccountName));
    s_.settings.saveSearchGroups(s_.controls.isChecked(IdGroupMode));
    s_.settings.saveSearchBuiltinAdministrator(s_.controls.isChecked(IdBuiltinAdminMode));
    savePasswordOptions();
    return true;
}

} // namespace rm
