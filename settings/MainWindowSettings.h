#pragma once

#include "core/search/SearchOptions.h"
#include "core/passwords/PasswordOptions.h"

#include <string>

namespace rm {

// What the main window keeps between runs: its two settings records and the
// account name and mode last used.
class MainWindowSettings {
public:
    virtual ~MainWindowSettings() = default;

    virtual SearchOptions loadSearchOptions() = 0;
    virtual void saveSearchOptions(const SearchOptions& options) = 0;
    virtual PasswordOptions loadPasswordOptions() = 0;
    virtual void savePasswordOptions(const PasswordOptions& options) = 0;

    virtual std::string loadUsername() = 0;
    virtual void saveUsername(const std::string& name) = 0;
    virtual bool loadSearchGroups() = 0;
    virtual void saveSearchGroups(bool groupMode) = 0;
};

} // namespace rm
