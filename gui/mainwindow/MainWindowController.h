#pragma once

#include "core/passwords/PasswordOptions.h"
#include "core/search/SearchOptions.h"
#include "settings/MainWindowSettings.h"
#include "gui/mainwindow/ComputerList.h"
#include "gui/mainwindow/MainWindowDialogs.h"
#include "core/batch/ActionRequest.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/Poster.h"
#include "core/ports/Prompter.h"
#include "core/ports/WaitCursor.h"
#include "gui/kit/DialogControls.h"
#include "core/jobs/Worker.h"

#include <memory>

namespace rm {

class DefaultDomainLookup;

// Posted to the main window when the default domain has been looked up.
enum : int { MessageDefaultDomainFound = 1028 };

// The main window's logic: its initialisation, enable rules, exchanges with
// the option dialogs and the quit procedure. It owns the two settings records
// and `searchDone` for the whole run; the window itself only shows and forwards.
class MainWindowController {
public:
    struct Services {
        DialogControls& controls;
        ComputerList& list;
        MainWindowSettings& settings;
        Prompter& prompter;
        Poster& self; // posts to the main window
        MainWindowDialogs& dialogs;
        CurrentIdentity& identity;
        WaitCursor& waitCursor;
        WorkerWait& wait;
    };

    explicit MainWindowController(Services services);
    ~MainWindowController();

    // Loads the settings, fills the controls and posts the About box's
    // message. An empty domain is looked up off the window's thread.
    void initialise();
    // The default domain has been looked up: shown and stored, unless a
    // domain was chosen meanwhile.
    void defaultDomainFound();

    void refreshDomainLabel();
    void refreshEnableRules();
    void selectAll();
    void searchOptionsExchange();
    void passwordOptionsExchange();
    void showAbout();
    // Start Search: the domain's computers, reduced to those with the account.
    void searchCommand();
    // Perform and Log Actions: checks and confirms the request, runs the batch
    // over the selected rows, writes the outcome back into the list and logs it.
    void performCommand();
    // True when the window is to end (with the Cancel code).
    bool quit();

    SearchOptions& searchOptions() { return searchOptions_; }
    PasswordOptions& passwordOptions() { return passwordOptions_; }
    bool searchDone() const { return searchDone_; }
    // What the last search found and counted, however it ended.
    const SearchSummary& lastSearch() const { return lastSearch_; }
    void setSearchDone(bool done) { searchDone_ = done; }

private:
    ActionRequest actionRequest() const;
    void fillRow(int row, const std::string& enabled, const std::string& user, const std::string& groups,
                 std::int32_t passwordAge);

    Services s_;
    std::unique_ptr<DefaultDomainLookup> domainLookup_;
    SearchOptions searchOptions_;
    PasswordOptions passwordOptions_;
    bool searchDone_ = false;
    SearchSummary lastSearch_;
};

} // namespace rm
