#pragma once

#include "core/passwords/PasswordOptions.h"
#include "core/search/SearchOptions.h"
#include "settings/ProfileStore.h"

#include <string>

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

    // The account name and the mode last searched for; the built-in
    // administrator, when chosen, goes before either mode.
    std::string loadUsername();
    void saveUsername(const std::string& name);
    bool loadSearchGroups();
    bool loadSearchBuiltinAdministrator();
    void saveSearchBuiltinAdministrator(bool chosen);
    // Whether typed credentials may go to a computer by NTLM where Kerberos
    // cannot work; set by hand, never written by the program.
    bool loadRefuseNtlm();
    void saveSearchGroups(bool groupMode);

private:
    ProfileStore& profile_;
};

} // namespace rm
