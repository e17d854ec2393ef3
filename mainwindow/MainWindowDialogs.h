#pragma once

#include "app/PasswordOptions.h"
#include "app/SearchOptions.h"

namespace rm {

// The modal dialogs the main window opens over itself. Each option dialog
// edits the record it is given and answers true when it ended with OK.
class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;
    virtual bool runSearchOptions(SearchOptions& options) = 0;
    virtual bool runPasswordOptions(PasswordOptions& options) = 0;
    virtual void runAbout() = 0;
};

} // namespace rm
