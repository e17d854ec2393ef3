#include "mainwindow/QtMainWindowDialogs.h"

#include "mainwindow/CAboutDialog.h"
#include "passwords/CPasswordOptionsDialog.h"

namespace rm {

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* owner, Shell& shell, Prompter& prompter)
    : owner_(owner), shell_(shell), prompter_(prompter)
{
}

bool QtMainWindowDialogs::runSearchOptions(SearchOptions&)
{
    // The search options dialog is not part of the program yet: as if cancelled.
    return false;
}

bool QtMainWindowDialogs::runPasswordOptions(PasswordOptions& options)
{
    CPasswordOptionsDialog dialog(options, owner_);
    return dialog.exec() == QDialog::Accepted;
}

void QtMainWindowDialogs::runAbout()
{
    CAboutDialog about(owner_, shell_, prompter_);
    about.exec();
}

} // namespace rm
