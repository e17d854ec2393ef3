#pragma once

#include "gui/mainwindow/MainWindowDialogs.h"
#include "gui/mainwindow/ReportFiles.h"
#include "gui/mainwindow/WindowServices.h"

#include <memory>

class QWidget;

namespace rm {

// The real dialogs, run modally over the main window.
class QtMainWindowDialogs : public MainWindowDialogs {
public:
    QtMainWindowDialogs(QWidget* owner, WindowServices services);

    bool runSearchOptions(SearchOptions& options) override;
    bool runPasswordOptions(PasswordOptions& options) override;
    void runAbout() override;
    void runDiscovery(Search& search) override;
    void runLiveness(Search& search) override;
    bool runCheck(Search& search) override;
    void runResults(const Search& search) override;
    std::optional<BatchOutcome> runBatch(const BatchPlan& plan, std::time_t confirmed) override;
    // Where the journal went (windowLogFolder()), from the journal.
    void writeActivityLog(const BatchOutcome& outcome) override;
    void exportList(const std::vector<ComputerCells>& rows) override;
    void waitUntil(const std::function<bool()>& done) override;

private:
    QWidget* owner_;
    WindowServices s_;
    ReportFiles reports_;
    std::string batchFolder_;
    std::unique_ptr<BatchJournal> journal_;
    std::string passwordRecord_; // the running batch's separate record, named in its log
};

// Where the window's logs and journals go: the current folder when a file
// can be made there, else the user's documents folder, so a program
// started from "/" still keeps the record of what its batch changed.
std::string windowLogFolder();

} // namespace rm
