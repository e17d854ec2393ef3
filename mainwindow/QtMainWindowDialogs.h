#pragma once

#include "discovery/DirectoryScanner.h"
#include "mainwindow/MainWindowDialogs.h"
#include "platform/CurrentIdentity.h"
#include "platform/HostResolver.h"
#include "platform/IcmpSocket.h"
#include "platform/NetworkManagement.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/Threads.h"
#include "platform/WaitCursor.h"

class QWidget;

namespace rm {

// What the real dialogs need of the platform.
struct DialogServices {
    Prompter& prompter;
    Shell& shell;
    CurrentIdentity& identity;
    NetworkManagement& network;
    DirectoryScanner& directory;
    ThreadStarter& threads;
    TickClock& clock;
    WaitCursor& waitCursor;
    HostResolver& resolver;
    IcmpSockets& icmp;
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

private:
    QWidget* owner_;
    DialogServices s_;
};

} // namespace rm
