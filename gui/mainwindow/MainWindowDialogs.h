#pragma once

#include "core/search/AccountCheckResult.h"
#include "core/search/SearchSummary.h"
#include "core/passwords/PasswordOptions.h"
#include "core/search/SearchOptions.h"
#include "core/search/FoundComputer.h"
#include "core/batch/AccountOperation.h"

#include <optional>
#include <string>
#include <vector>

namespace rm {

struct PingScanOutcome {
    std::vector<std::string> removalList;
    std::string errorText;
};

// The modal dialogs the main window opens over itself. Each option dialog
// edits the record it is given and answers true when it ended with OK.
class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;
    virtual bool runSearchOptions(SearchOptions& options) = 0;
    virtual bool runPasswordOptions(PasswordOptions& options) = 0;
    virtual void runAbout() = 0;

    // The steps of a search. The domain scan's list is whole even after a cancel.
    virtual std::vector<FoundComputer> runDomainScan(const std::string& domain, const SearchOptions& options) = 0;
    virtual PingScanOutcome runPingScan(const std::vector<std::string>& names) = 0;
    // Nothing when the user cancelled the search.
    virtual std::optional<std::vector<AccountCheckResult>> runAccountSearch(
        const std::vector<std::string>& computerNames, const std::string& accountName, bool groupMode) = 0;
    virtual void runResults(const SearchSummary& summary) = 0;

    // The batch over the operations, which it fills in; ends however the
    // status dialog was closed.
    virtual void runOperations(std::vector<AccountOperation>& operations) = 0;
    // The batch's activity log, written and opened.
    virtual void writeActivityLog(const std::vector<AccountOperation>& operations) = 0;
};

} // namespace rm
