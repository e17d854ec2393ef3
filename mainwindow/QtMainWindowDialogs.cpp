#include "mainwindow/QtMainWindowDialogs.h"

#include "accountsearch/CResultsDialog.h"
#include "accountsearch/CSearchDialog.h"
#include "discovery/CDomainScanDialog.h"
#include "discovery/CPingScanDialog.h"
#include "discovery/CSearchOptionsDialog.h"
#include "mainwindow/ActivityLog.h"
#include "mainwindow/CAboutDialog.h"
#include "operations/COperationDialog.h"
#include "passwords/CPasswordOptionsDialog.h"
#include "mainwindow/ListExports.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <iostream>

namespace rm {

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* owner, DialogServices services) : owner_(owner), s_(services) {}

bool QtMainWindowDialogs::runSearchOptions(SearchOptions& options)
{
    CSearchOptionsDialog dialog(options, s_.prompter, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

bool QtMainWindowDialogs::runPasswordOptions(PasswordOptions& options)
{
    CPasswordOptionsDialog dialog(options, owner_);
    return dialog.exec() == QDialog::Accepted;
}

void QtMainWindowDialogs::runAbout()
{
    CAboutDialog about(owner_, s_.shell, s_.prompter);
    about.exec();
}

std::vector<FoundComputer> QtMainWindowDialogs::runDomainScan(const std::string& domain, const SearchOptions& options)
{
    CDomainScanDialog dialog(domain, options, {s_.network, s_.identity, s_.directory, std::cout},
                             {s_.prompter, s_.waitCursor}, owner_);
    dialog.exec();
    return dialog.computers();
}

PingScanOutcome QtMainWindowDialogs::runPingScan(const std::vector<std::string>& names)
{
    CPingScanDialog dialog(names, {s_.resolver, s_.icmp, s_.threads, s_.clock}, {s_.prompter, s_.waitCursor}, owner_);
    dialog.exec();
    return {dialog.removalList(), dialog.errorText()};
}

std::optional<std::vector<AccountCheckResult>> QtMainWindowDialogs::runAccountSearch(
    const std::vector<std::string>& computerNames, const std::string& accountName, bool groupMode)
{
    CSearchDialog dialog(computerNames, accountName, {s_.network, s_.threads, s_.clock},
                         {s_.prompter, s_.waitCursor}, owner_);
    dialog.setGroupMode(groupMode);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.results();
}

void QtMainWindowDialogs::runResults(const SearchSummary& summary)
{
    CResultsDialog dialog(
        summary,
        [reports = s_.reports()](ResultsExport which, const SearchSummary& s) { exportResults(which, s, reports); },
        owner_);
    dialog.exec();
}

void QtMainWindowDialogs::runOperations(std::vector<AccountOperation>& operations)
{
    COperationDialog dialog(operations, s_.network, {s_.prompter, s_.waitCursor}, owner_);
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
