#include "settings/SettingsStore.h"

namespace rm {

bool SettingsStore::readBool(const char* section, const char* name, bool fallback)
{
    return profile_.readInteger(section, name, fallback ? 1 : 0) != 0;
}

void SettingsStore::writeBool(const char* section, const char* name, bool value)
{
    profile_.writeInteger(section, name, value ? 1 : 0);
}

SearchOptions SettingsStore::loadSearchOptions()
{
    ProfileStore::Batch record(profile_);
    const SearchOptions defaults;
    SearchOptions o;
    o.Domain = profile_.readText(SearchSection, "Domain", defaults.Domain);
    o.ScanType = static_cast<std::int32_t>(
        profile_.readInteger(SearchSection, "ScanType", static_cast<std::uint32_t>(defaults.ScanType)));
    o.RestrictToOrgUnit = readBool(SearchSection, "RestrictToOrgUnit", defaults.RestrictToOrgUnit);
    o.OrgUnit = profile_.readText(SearchSection, "OrgUnit", defaults.OrgUnit);
    o.PingScan = readBool(SearchSection, "PingScan", defaults.PingScan);
    o.ScanHidden = readBool(SearchSection, "ScanHidden", defaults.ScanHidden);
    o.ServersOnly = readBool(SearchSection, "ServersOnly", defaults.ServersOnly);
    return o;
}

void SettingsStore::saveSearchOptions(const SearchOptions& o)
{
    ProfileStore::Batch record(profile_);
    profile_.writeText(SearchSection, "Domain", o.Domain);
    profile_.writeInteger(SearchSection, "ScanType", static_cast<std::uint32_t>(o.ScanType));
    writeBool(SearchSection, "RestrictToOrgUnit", o.RestrictToOrgUnit);
    profile_.writeText(SearchSection, "OrgUnit", o.OrgUnit);
    writeBool(SearchSection, "PingScan", o.PingScan);
    writeBool(SearchSection, "ScanHidden", o.ScanHidden);
    writeBool(SearchSection, "ServersOnly", o.ServersOnly);
}

PasswordOptions SettingsStore::loadPasswordOptions()
{
    ProfileStore::Batch record(profile_);
    const PasswordOptions d;
    const char* s = PasswordSection;
    PasswordOptions o;
    o.GenerateUnique = readBool(s, "GenerateUnique", d.GenerateUnique);
    o.Passwords = readBool(s, "Passwords", d.Passwords);
    o.Lowercase = readBool(s, "Lowercase", d.Lowercase);
    o.Uppercase = readBool(s, "Uppercase", d.Uppercase);
    o.Numerals = readBool(s, "Numerals", d.Numerals);
    o.Symbols = readBool(s, "Symbols", d.Symbols);
    o.NoSimilar = readBool(s, "NoSimilar", d.NoSimilar);
    o.RandomCaps = readBool(s, "RandomCaps", d.RandomCaps);
    o.DictionaryFile = profile_.readText(s, "DictionaryFile", d.DictionaryFile);
    o.BitsOfEntropy = static_cast<std::int32_t>(
        profile_.readInteger(s, "BitsOfEntropy", static_cast<std::uint32_t>(d.BitsOfEntropy)));
    o.SaveToFile = readBool(s, "SaveToFile", d.SaveToFile);
    o.SaveToLog = readBool(s, "SaveToLog", d.SaveToLog);
    return o;
}

void SettingsStore::savePasswordOptions(const PasswordOptions& o)
{
    ProfileStore::Batch record(profile_);
    const char* s = PasswordSection;
    writeBool(s, "GenerateUnique", o.GenerateUnique);
    writeBool(s, "Passwords", o.Passwords);
    writeBool(s, "Lowercase", o.Lowercase);
    writeBool(s, "Uppercase", o.Uppercase);
    writeBool(s, "Numerals", o.Numerals);
    writeBool(s, "Symbols", o.Symbols);
    writeBool(s, "NoSimilar", o.NoSimilar);
    writeBool(s, "RandomCaps", o.RandomCaps);
    profile_.writeText(s, "DictionaryFile", o.DictionaryFile);
    profile_.writeInteger(s, "BitsOfEntropy", static_cast<std::uint32_t>(o.BitsOfEntropy));
    writeBool(s, "SaveToFile", o.SaveToFile);
    writeBool(s, "SaveToLog", o.SaveToLog);
}

std::string SettingsStore::loadUsername()
{
    return profile_.readText(SearchSection, "Username", "Administrator");
}

void SettingsStore::saveUsername(const std::string& name)
{
    profile_.writeText(SearchSection, "Username", name);
}

bool SettingsStore::loadSearchGroups()
{
    return readBool(SearchSection, "Search Groups", false);
}

void SettingsStore::saveSearchGroups(bool groupMode)
{
    writeBool(SearchSection, "Search Groups", groupMode);
}

} // namespace rm
