#pragma once

#include "core/ports/DirectoryClient.h"
#include "gui/mainwindow/MainWindowDialogs.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "core/ports/FileChooser.h"
#include "core/ports/FileWriter.h"
#include "core/ports/NetworkManagement.h"
#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "core/ports/Threads.h"
#include "core/ports/WaitCursor.h"
#include "core/ports/WallClock.h"
#include "core/report/ReportServices.h"

class QWidget;

namespace rm {

// What the real dialogs need of the platform.
struct DialogServices {
    Prompter& prompter;
    Shell& shell;
    CurrentIdentity& identity;
    NetworkManagement& network;
    DirectoryClient& directory;
    ThreadStarter& threads;
    TickClock& clock;
    WaitCursor& waitCursor;
    FileChooser& fileChooser;
    FileWriter& fileWriter;
    WallClock& wallClock;
    HostResolver& resolver;
    IcmpSockets& icmp;

    ReportServices reports() const { return {prompter, fileChooser, fileWriter, shell, wallClock}; }
};

// The real dialogs, run modally over the main window.
class QtMainWindowDialogs : public MainWindowDialogs {
public:
    QtMainWindowDialogs(QWidget* owner, DialogServices services);

    bool runSearchOptions(SearchOptions& options) override;
    bool runPasswordOptions(PasswordOptions& options) override;
    void runAbout() override;
    std::vector<FoundComputer> runDomainScan(const std::string& domain, const SearchOptions& options) override;
    PingScanOutcome runPingScan(const std::vector<std::string>& names) override;
    std::optional<std::vector<AccountCheckResult>> runAccountSearch(const std::vector<std::string>& computerNames,
                                                                    const std::string& accountName,
                                                                    bool groupMode) override;
    void runResults(const SearchSummary& summary) override;
    void runOperations(std::vector<AccountOperation>& operations) override;
    // In the current folder when a file can be made there, else in the
    // user's documents folder: a program started from "/" still keeps the
    // record of what its batch changed.
    void writeActivityLog(const std::vector<AccountOperation>& operations) override;

private:
    QWidget* owner_;
    DialogServices s_;
};

} // namespace rm
