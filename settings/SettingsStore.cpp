#include "settings/SettingsStore.h"

#include <variant>

namespace rm {
namespace {

// One stored value of a record: its name as stored, and the field it fills.
template <class Record>
struct StoredValue {
    const char* name;
    std::variant<bool Record::*, std::int32_t Record::*, std::string Record::*, DiscoveryMethod Record::*> field;
};

// The stored names, in the order a record is read and written.
const StoredValue<SearchOptions> SearchValues[] = {
    {"Domain", &SearchOptions::domain},
    {"ScanType", &SearchOptions::method},
    {"RestrictToOrgUnit", &SearchOptions::restrictToOrgUnit},
    {"OrgUnit", &SearchOptions::orgUnit},
    {"PingScan", &SearchOptions::pingScan},
    {"ScanHidden", &SearchOptions::scanHidden},
    {"ServersOnly", &SearchOptions::serversOnly},
    {"AllowSimpleBind", &SearchOptions::allowSimpleBind},
};
const StoredValue<PasswordOptions> PasswordValues[] = {
    {"GenerateUnique", &PasswordOptions::generateUnique},
    {"Passwords", &PasswordOptions::passwords},
    {"Lowercase", &PasswordOptions::lowercase},
    {"Uppercase", &PasswordOptions::uppercase},
    {"Numerals", &PasswordOptions::numerals},
    {"Symbols", &PasswordOptions::symbols},
    {"NoSimilar", &PasswordOptions::noSimilar},
    {"RandomCaps", &PasswordOptions::randomCaps},
    {"DictionaryFile", &PasswordOptions::dictionaryFile},
    {"BitsOfEntropy", &PasswordOptions::bitsOfEntropy},
    {"SaveToFile", &PasswordOptions::saveToFile},
    {"SaveToLog", &PasswordOptions::saveToLog},
    {"Recipients", &PasswordOptions::recipients},
};

// Booleans and numbers are integers in the profile, texts are texts; an
// absent value reads as the record's default.
template <class Record, std::size_t N>
Record load(ProfileStore& profile, const char* section, const StoredValue<Record> (&values)[N])
{
    ProfileStore::Batch batch(profile);
    Record record;
    for (const StoredValue<Record>& v : values) {
        std::visit(
            [&](auto member) {
                auto& field = record.*member;
                using Field = std::decay_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, std::string>)
                    field = profile.readText(section, v.name, field);
                else if constexpr (std::is_same_v<Field, bool>)
                    field = profile.readInteger(section, v.name, field ? 1 : 0) != 0;
                else
                    field = static_cast<Field>(profile.readInteger(section, v.name, static_cast<std::uint32_t>(field)));
            },
            v.field);
    }
    return record;
}

template <class Record, std::size_t N>
void save(ProfileStore& profile, const char* section, const StoredValue<Record> (&values)[N], const Record& record)
{
    ProfileStore::Batch batch(profile);
    for (const StoredValue<Record>& v : values) {
        std::visit(
            [&](auto member) {
                const auto& field = record.*member;
                using Field = std::decay_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, std::string>)
                    profile.writeText(section, v.name, field);
                else if constexpr (std::is_same_v<Field, bool>)
                    profile.writeInteger(section, v.name, field ? 1 : 0);
                else
                    profile.writeInteger(section, v.name, static_cast<std::uint32_t>(field));
            },
            v.field);
    }
}

} // namespace

SearchOptions SettingsStore::loadSearchOptions()
{
    return load(profile_, SearchSection, SearchValues);
}

void SettingsStore::saveSearchOptions(const SearchOptions& options)
{
    save(profile_, SearchSection, SearchValues, options);
}

PasswordOptions SettingsStore::loadPasswordOptions()
{
    return load(profile_, PasswordSection, PasswordValues);
}

void SettingsStore::savePasswordOptions(const PasswordOptions& options)
{
    save(profile_, PasswordSection, PasswordValues, options);
}

std::string SettingsStore::loadUsername()
{
    return profile_.readText(SearchSection, "Username", "Administrator");
}

void SettingsStore::saveUsername(const std::string& name)
{
    profile_.writeText(SearchSection, "Username", name);
}

bool SettingsStore::loadRefuseNtlm()
{
    return profile_.readInteger(SearchSection, "RefuseNtlm", 0) != 0;
}

bool SettingsStore::loadSearchGroups()
{
    return profile_.readInteger(SearchSection, "Search Groups", 0) != 0;
}

void SettingsStore::saveSearchGroups(bool groupMode)
{
    profile_.writeInteger(SearchSection, "Search Groups", groupMode ? 1 : 0);
}

// A value of its own: a program that knows only the two modes reads the
// choice as user mode.
bool SettingsStore::loadSearchBuiltinAdministrator()
{
    return profile_.readInteger(SearchSection, "Search Builtin Administrator", 0) != 0;
}

void SettingsStore::saveSearchBuiltinAdministrator(bool chosen)
{
    profile_.writeInteger(SearchSection, "Search Builtin Administrator", chosen ? 1 : 0);
}

} // namespace rm
