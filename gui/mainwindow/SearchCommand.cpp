// The search command of the main window, step by step.
#include "core/messages/SearchMessages.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"

namespace rm {

namespace {

AccountKind chosenKind(const DialogControls& controls)
{
    if (controls.isChecked(IdBuiltinAdminMode))
        return AccountKind::BuiltinAdministrator;
    return controls.isChecked(IdGroupMode) ? AccountKind::Group : AccountKind::User;
}

} // namespace

SearchRequest MainWindowController::searchRequest(const std::string& account) const
{
    SearchRequest request;
    request.kind = chosenKind(s_.controls);
    // The built-in administrator is found by its identifier, not a name.
    if (request.kind != AccountKind::BuiltinAdministrator)
        request.account = account;
    request.options = searchOptions_;
    return request;
}

void MainWindowController::searchCommand()
{
    if (s_.list.rowCount() > 0 && s_.prompter.show(clearListQuestion()) != MessageAnswer::Yes)
        return;
    const std::string account = s_.controls.text(IdAccountName);
    const AccountKind kind = chosenKind(s_.controls);
    if (account.empty() && kind != AccountKind::BuiltinAdministrator) {
        s_.prompter.show(noAccountNameError(kind));
        return;
    }
    s_.list.setRows({});

    // The domain to scan may still be on its way.
    if (domainLookup_) {
        s_.dialogs.waitUntil([this] { return !domainLookup_ || domainLookup_->hasEnded(); });
        defaultDomainFound();
    }
    s_.identity.ensureCredentials();
    Search search(searchRequest(account), s_.search);
    runSearch(search);
}

void MainWindowController::runSearch(Search& search)
{
    const SearchOutcome& outcome = search.outcome();
    s_.dialogs.runDiscovery(search);
    s_.list.setRows(outcome.rows);
    if (search.wantsLiveness()) {
        s_.dialogs.runLiveness(search);
        if (const auto failure = livenessFailureMessage(outcome.livenessFailure))
            s_.prompter.show(*failure);
        s_.list.setRows(outcome.rows);
    }
    searchDone_ = false;
    refreshEnableRules();
    if (outcome.counts.totalFound == 0) {
        s_.prompter.show(noComputersFound());
        return;
    }

    s_.waitCursor.begin();
    const SearchRequest& request = search.request();
    if (!s_.dialogs.runCheck(search)) {
        s_.prompter.show(searchCancelled(request.kind, request.account));
        s_.waitCursor.end();
        return;
    }
    s_.list.setRows(outcome.rows);
    searchDone_ = true;
    refreshEnableRules();
    if (s_.list.rowCount() > 0) {
        s_.dialogs.runResults(search);
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
        s_.prompter.show(allComputersRemoved(request.kind, request.account));
    }
    s_.waitCursor.end();
}

} // namespace rm
