#pragma once

#include "core/jobs/Job.h"
#include "core/jobs/UiThread.h"
#include "core/passwords/PasswordOptions.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/FileReader.h"
#include "core/ports/Prompter.h"
#include "core/ports/WaitCursor.h"
#include "core/ports/WallClock.h"
#include "core/search/SearchServices.h"
#include "gui/kit/DialogControls.h"
#include "gui/mainwindow/ComputerList.h"
#include "gui/mainwindow/MainWindowDialogs.h"
#include "settings/SettingsStore.h"

#include <memory>

namespace rm {

// The main window's logic: its initialisation, enable rules, exchanges with
// the option dialogs, the two commands and the quit procedure. It owns the
// two settings records and `searchDone` for the whole run; the window itself
// only shows and forwards.
class MainWindowController {
public:
    struct Services {
        DialogControls& controls;
        ComputerList& list;
        SettingsStore& settings;
        Prompter& prompter;
        MainWindowDialogs& dialogs;
        CurrentIdentity& identity;
        WaitCursor& waitCursor;
        UiThread& ui;
        WallClock& clock;
        FileReader& files;    // the passphrase dictionary
        RecordCipher& cipher; // the recipients' keys of generated passwords
        SearchServices search;
    };

    explicit MainWindowController(Services services);
    ~MainWindowController();

    // Loads the settings and fills the controls. An empty domain is looked
    // up off the window's thread.
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
    // Export List: the list as shown.
    void exportList();
    // What Perform asks of the batch: the controls and rows as they are.
    BatchRequest batchRequest(const std::vector<int>& rows) const;
    // True when the window is to end (with the Cancel code).
    bool quit();

    SearchOptions& searchOptions() { return searchOptions_; }
    PasswordOptions& passwordOptions() { return passwordOptions_; }
    bool searchDone() const { return searchDone_; }
    void setSearchDone(bool done) { searchDone_ = done; }

private:
    SearchRequest searchRequest(const std::string& account) const;
    void savePasswordOptions();
    // The search's steps from discovery on; `search` keeps what they found.
    void runSearch(Search& search);

    Services s_;
    std::unique_ptr<Job> domainLookup_;
    std::string lookedUpDomain_;
    SearchOptions searchOptions_;
    PasswordOptions passwordOptions_;
    bool searchDone_ = false;
};

} // namespace rm
