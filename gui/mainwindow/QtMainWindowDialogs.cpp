#include "gui/mainwindow/QtMainWindowDialogs.h"

#include "gui/dialogs/ResultsDialog.h"
#include "gui/dialogs/SearchProgressDialog.h"
#include "gui/dialogs/DomainScanDialog.h"
#include "gui/dialogs/PingScanDialog.h"
#include "gui/dialogs/SearchOptionsDialog.h"
#include "core/report/ActivityLog.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/OperationDialog.h"
#include "gui/dialogs/PasswordOptionsDialog.h"
#include "gui/mainwindow/ListExports.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <iostream>

namespace rm {

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* owner, DialogServices services) : owner_(owner), s_(services) {}

bool QtMainWindowDialogs::runSearchOptions(SearchOptions& options)
{
    SearchOptionsDialog dialog(options, s_.prompter, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

bool QtMainWindowDialogs::runPasswordOptions(PasswordOptions& options)
{
    PasswordOptionsDialog dialog(options, owner_);
    return dialog.exec() == QDialog::Accepted;
}

void QtMainWindowDialogs::runAbout()
{
    AboutDialog about(owner_, s_.shell, s_.prompter);
    about.exec();
}

std::vector<FoundComputer> QtMainWindowDialogs::runDomainScan(const std::string& domain, const SearchOptions& options)
{
    DomainScanDialog dialog(domain, options, {s_.network, s_.identity, s_.directory, std::cout},
                             {s_.prompter, s_.waitCursor}, owner_);
    dialog.exec();
    return dialog.computers();
}

PingScanOutcome QtMainWindowDialogs::runPingScan(const std::vector<std::string>& names)
{
    PingScanDialog dialog(names, {s_.resolver, s_.icmp, s_.threads, s_.clock}, {s_.prompter, s_.waitCursor}, owner_);
    dialog.exec();
    return {dialog.removalList(), dialog.errorText()};
}

std::optional<std::vector<AccountCheckResult>> QtMainWindowDialogs::runAccountSearch(
    const std::vector<std::string>& computerNames, const std::string& accountName, bool groupMode)
{
    SearchProgressDialog dialog(computerNames, accountName, {s_.network, s_.threads, s_.clock},
                         {s_.prompter, s_.waitCursor}, owner_);
    dialog.setGroupMode(groupMode);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.results();
}

void QtMainWindowDialogs::runResults(const SearchSummary& summary)
{
    ResultsDialog dialog(
        summary,
        [reports = s_.reports()](ResultsExport which, const SearchSummary& s) { exportResults(which, s, reports); },
        owner_);
    dialog.exec();
}

void QtMainWindowDialogs::runOperations(std::vector<AccountOperation>& operations)
{
    OperationDialog dialog(operations, s_.network, {s_.prompter, s_.waitCursor}, owner_);
    dialog.exec();
}

void QtMainWindowDialogs::writeActivityLog(const std::vector<AccountOperation>& operations)
{
    std::string folder;
    if (!QFileInfo(QDir::currentPath()).isWritable()) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QDir().mkpath(documents);
        folder = documents.toStdString();
    }
    rm::writeActivityLog(operations, s_.reports(), folder);
}

} // namespace rm
