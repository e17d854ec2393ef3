#pragma once

#include "app/PasswordOptions.h"
#include "app/SearchOptions.h"
#include "platform/ProfileStore.h"

namespace rm {

// The program's settings on top of the profile: two records and the two
// values the main window keeps of its own. A record is loaded, and saved, as
// one batch of the profile, its values in their stated order.
class SettingsStore {
public:
    static constexpr const char* SearchSection = "Search Options";
    static constexpr const char* PasswordSection = "Passwords";

    explicit SettingsStore(ProfileStore& profile) : profile_(profile) {}

    SearchOptions loadSearchOptions();
    void saveSearchOptions(const SearchOptions& options);
    PasswordOptions loadPasswordOptions();
    void savePasswordOptions(const PasswordOptions& options);

    std::string loadUsername();
    void saveUsername(const std::string& name);
    bool loadSearchGroups();
    void saveSearchGroups(bool groupMode);

private:
    bool readBool(const char* section, const char* name, bool fallback);
    void writeBool(const char* section, const char* name, bool value);

    ProfileStore& profile_;
};

} // namespace rm
