#pragma once

#include "settings/MainWindowSettings.h"
#include "settings/ProfileStore.h"

namespace rm {

// The program's settings on top of the profile: two records and the two
// values the main window keeps of its own. A record is loaded, and saved, as
// one batch of the profile, its values in their stated order.
class SettingsStore : public MainWindowSettings {
public:
    static constexpr const char* SearchSection = "Search Options";
    static constexpr const char* PasswordSection = "Passwords";

    explicit SettingsStore(ProfileStore& profile) : profile_(profile) {}

    SearchOptions loadSearchOptions() override;
    void saveSearchOptions(const SearchOptions& options) override;
    PasswordOptions loadPasswordOptions() override;
    void savePasswordOptions(const PasswordOptions& options) override;

    std::string loadUsername() override;
    void saveUsername(const std::string& name) override;
    bool loadSearchGroups() override;
    void saveSearchGroups(bool groupMode) override;

private:
    bool readBool(const char* section, const char* name, bool fallback);
    void writeBool(const char* section, const char* name, bool value);

    ProfileStore& profile_;
};

} // namespace rm
