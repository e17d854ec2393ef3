// "&Perform and Log Actions": the requested actions on the selected rows.
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "core/batch/ActionValidation.h"
#include "core/ports/Wipe.h"

namespace rm {
namespace {

// The passwords of one command are cleared whichever way it ends; made
// after what it clears, so it goes first.
struct PasswordsWiped {
    ActionRequest& request;
    std::optional<std::vector<AccountOperation>>& operations;
    ~PasswordsWiped()
    {
        wipe(request.password);
        wipe(request.verification);
        if (operations)
            for (AccountOperation& op : *operations)
                wipe(op.password);
    }
};

} // namespace

ActionRequest MainWindowController::actionRequest() const
{
    const DialogControls& c = s_.controls;
    ActionRequest r;
    r.renameRequested = c.isChecked(IdChangeUsername);
    r.newUserName = c.text(IdNewUserName);
    r.passwordRequested = c.isChecked(IdChangePassword);
    r.password = c.text(IdPassword);
    r.verification = c.text(IdVerifyPassword);
    r.enabledChoice = c.isChecked(IdEnableAccount)    ? EnabledChoice::Enable
                      : c.isChecked(IdDisableAccount) ? EnabledChoice::Disable
                                                      : EnabledChoice::Keep;
    r.groupMode = c.isChecked(IdGroupMode);
    return r;
}

void MainWindowController::performCommand()
{
    std::vector<SelectedRow> selection;
    for (int row : selectedRows(s_.list)) {
        const ComputerList& l = s_.list;
        selection.push_back({row, l.cellText(row, CellName), l.cellText(row, CellUser), l.cellText(row, CellEnabled),
                             l.cellText(row, CellGroups)});
    }
    ActionRequest request = actionRequest();
    std::optional<std::vector<AccountOperation>> operations;
    const PasswordsWiped wiped{request, operations};
    operations = validateAndConfirm(request, selection, s_.prompter);
    if (!operations)
        return;
    s_.identity.ensureCredentials();
    s_.dialogs.runOperations(*operations);
    updateAfterOperations(s_.list, *operations);
    s_.dialogs.writeActivityLog(*operations);
}

} // namespace rm
