// The search command of the main window, step by step.
#include "gui/mainwindow/MainWindowController.h"
#include "core/search/DefaultDomainName.h"
#include "gui/mainwindow/MainWindowIds.h"

namespace rm {

void MainWindowController::fillRow(int row, const std::string& enabled, const std::string& user,
                                   const std::string& groups, std::int32_t passwordAge)
{
    s_.list.setCellText(row, CellEnabled, enabled);
    s_.list.setCellText(row, CellUser, user);
    s_.list.setCellText(row, CellGroups, groups);
    s_.list.setCellText(row, CellPasswordAge, passwordAgeText(passwordAge));
}

void MainWindowController::searchCommand()
{
    ComputerList& list = s_.list;
    if (list.rowCount() > 0
        && s_.prompter.show({"Clear List?", "Clear the machine list and repopulate?", MessageButtons::YesNo,
                             MessageIcon::Question})
            != MessageAnswer::Yes)
        return;
    const std::string account = s_.controls.text(IdAccountName);
    if (account.empty()) {
        s_.prompter.show({"Error",
                          s_.controls.isChecked(IdGroupMode) ? "You must specify a local group to search for."
                                                             : "You must specify a username to search for.",
                          MessageButtons::Ok, MessageIcon::Exclamation});
        return;
    }
    list.deleteAllRows();

    // The domain to scan may still be on its way.
    if (domainLookup_) {
        s_.wait.waitFor(domainLookup_->endedFlag());
        defaultDomainFound();
    }
    s_.identity.ensureCredentials();
    SearchSummary& summary = lastSearch_;
    summary = SearchSummary{};
    summary.accountName = account;
    std::vector<std::string> candidates;
    for (const FoundComputer& c : s_.dialogs.runDomainScan(searchOptions_.Domain, searchOptions_)) {
        insertDiscovered(list, c.name, c.type);
        candidates.push_back(c.name);
        ++summary.totalFound;
    }
    int eliminated = 0;
    if (searchOptions_.PingScan && summary.totalFound != 0) {
        const PingScanOutcome ping = s_.dialogs.runPingScan(candidates);
        if (!ping.errorText.empty())
            s_.prompter.show({"Error", ping.errorText, MessageButtons::Ok, MessageIcon::Information});
        for (const std::string& name : ping.removalList) {
            const int row = findRowByName(list, name);
            if (row < 0)
                continue;
            summary.notMatched.push_back({list.cellText(row, CellName), list.cellText(row, CellType), true});
            list.deleteRow(row);
            ++summary.offline;
            ++eliminated;
        }
    }
    searchDone_ = false;
    refreshEnableRules();
    if (summary.totalFound == 0) {
        s_.prompter.show({"Failure", "No computers found. Verify the domain name, and that you have access.",
                          MessageButtons::Ok, MessageIcon::Exclamation});
        return;
    }

    s_.waitCursor.begin();
    std::vector<std::string> names;
    for (int row = 0; row < list.rowCount(); ++row) {
        const std::string name = list.cellText(row, CellName);
        names.push_back(name.rfind("\\\\", 0) == 0 ? name : "\\\\" + name);
    }
    const bool groupMode = s_.controls.isChecked(IdGroupMode);
    summary.groupMode = groupMode;
    const auto results = s_.dialogs.runAccountSearch(names, account, groupMode);
    if (!results) {
        s_.prompter.show({"Operation cancelled", "The search for \"" + account + "\" was cancelled.",
                          MessageButtons::Ok, MessageIcon::Information});
        s_.waitCursor.end();
        return;
    }

    // Bottom up, so the rows still to come keep their indices.
    for (int i = static_cast<int>(results->size()) - 1; i >= 0; --i) {
        const AccountCheckResult& r = (*results)[i];
        if (r.failed)
            ++summary.offline;
        if (r.notMatched) {
            summary.notMatched.push_back({list.cellText(i, CellName), list.cellText(i, CellType), r.failed});
            ++eliminated;
            list.deleteRow(i);
            continue;
        }
        summary.matched.push_back({list.cellText(i, CellName), list.cellText(i, CellType)});
        if (!groupMode) {
            fillRow(i, r.enabled, r.userName, r.localGroups, r.passwordAge);
            continue;
        }
        fillRow(i, r.memberEnabled[0], r.memberNames[0], r.memberGroups[0], r.memberPasswordAges[0]);
        for (std::size_t k = 1; k < r.memberNames.size(); ++k) {
            list.insertRow(i + 1, list.cellText(i, CellName));
            list.setCellText(i + 1, CellType, list.cellText(i, CellType));
            fillRow(i + 1, r.memberEnabled[k], r.memberNames[k], r.memberGroups[k], r.memberPasswordAges[k]);
        }
    }
    summary.notExist = eliminated - summary.offline;

    searchDone_ = true;
    refreshEnableRules();
    if (list.rowCount() > 0) {
        s_.dialogs.runResults(summary);
        if (s_.controls.isChecked(IdChangePassword))
            s_.controls.setFocus(IdPassword);
        else if (s_.controls.isChecked(IdChangeUsername))
            s_.controls.setFocus(IdNewUserName);
        else if (s_.controls.isChecked(IdDisableAccount))
            s_.controls.setFocus(IdDisableAccount);
        else if (s_.controls.isChecked(IdEnableAccount))
            s_.controls.setFocus(IdEnableAccount);
        refreshEnableRules();
    } else {
        s_.prompter.show({"All Computers Removed",
                          (groupMode ? "Local group \"" : "The username \"") + account
                              + (groupMode ? "\" was empty on all machines." : "\" was not found on any machine.")
                              + " All computers have been removed from the list. You must repopulate the list.",
                          MessageButtons::Ok, MessageIcon::Information});
    }
    s_.waitCursor.end();
}

} // namespace rm
