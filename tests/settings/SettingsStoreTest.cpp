#include "settings/SettingsStore.h"
#include "settings/RegistryFileStore.h"
#include "support/DirectoryWatch.h"
#include "support/MemoryProfileStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

std::vector<std::string> prefixed(const std::string& verb, const std::string& section,
                                  std::initializer_list<const char*> names)
{
    std::vector<std::string> out;
    for (const char* n : names)
        out.push_back(verb + " " + section + "/" + n);
    return out;
}

TEST(SettingsStore, ReadsAndWritesInTheStatedOrders)
{
    MemoryProfileStore profile;
    SettingsStore settings(profile);
    const auto searchOrder = {"Domain", "ScanType", "RestrictToOrgUnit", "OrgUnit",
                              "PingScan", "ScanHidden", "ServersOnly", "AllowSimpleBind"};
    const auto passwordOrder = {"GenerateUnique", "Passwords", "Lowercase", "Uppercase",
                                "Numerals", "Symbols", "NoSimilar", "RandomCaps",
                                "DictionaryFile", "BitsOfEntropy", "SaveToFile", "SaveToLog", "Recipients"};

    using Span = std::pair<std::size_t, std::size_t>;
    settings.loadSearchOptions();
    EXPECT_EQ(profile.log, prefixed("read", "Search Options", searchOrder));
    EXPECT_EQ(profile.batches, (std::vector<Span>{{0, 8}})); // the record is one batch
    profile.log.clear();
    profile.batches.clear();
    settings.saveSearchOptions({});
    EXPECT_EQ(profile.log, prefixed("write", "Search Options", searchOrder));
    EXPECT_EQ(profile.batches, (std::vector<Span>{{0, 8}}));
    profile.log.clear();
    profile.batches.clear();
    settings.loadPasswordOptions();
    EXPECT_EQ(profile.log, prefixed("read", "Passwords", passwordOrder));
    EXPECT_EQ(profile.batches, (std::vector<Span>{{0, 13}}));
    profile.log.clear();
    profile.batches.clear();
    settings.savePasswordOptions({});
    EXPECT_EQ(profile.log, prefixed("write", "Passwords", passwordOrder));
    EXPECT_EQ(profile.batches, (std::vector<Span>{{0, 13}}));
}

TEST(SettingsStore, TheMainWindowsOwnValuesAreSingleCalls)
{
    MemoryProfileStore profile;
    SettingsStore settings(profile);
    settings.loadUsername();
    settings.loadSearchGroups();
    settings.saveUsername("Guest");
    settings.saveSearchGroups(true);
    EXPECT_EQ(profile.log, (std::vector<std::string>{"read Search Options/Username",
                                                     "read Search Options/Search Groups",
                                                     "write Search Options/Username",
                                                     "write Search Options/Search Groups"}));
    EXPECT_TRUE(profile.batches.empty());
}

TEST(SettingsStore, DefaultsOfAFreshProfile)
{
    MemoryProfileStore profile;
    SettingsStore settings(profile);
    const SearchOptions s = settings.loadSearchOptions();
    EXPECT_EQ(s, SearchOptions{});
    EXPECT_TRUE(s.pingScan);
    EXPECT_TRUE(s.scanHidden);
    EXPECT_EQ(s.method, DiscoveryMethod::BrowseList);
    const PasswordOptions p = settings.loadPasswordOptions();
    EXPECT_EQ(p.dictionaryFile, "dict.txt");
    EXPECT_EQ(p.bitsOfEntropy, 128);
    EXPECT_TRUE(p.saveToLog);
    EXPECT_FALSE(p.saveToFile);
    EXPECT_EQ(settings.loadUsername(), "Administrator");
    EXPECT_FALSE(settings.loadSearchGroups());
}

TEST(SettingsStore, KindsAsStored)
{
    MemoryProfileStore profile;
    SettingsStore settings(profile);
    SearchOptions s;
    s.domain = "lab.example";
    s.method = DiscoveryMethod::Directory;
    settings.saveSearchOptions(s);
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Domain")), "lab.example");
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Search Options", "ScanType")), 1u);
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Search Options", "PingScan")), 1u);
    EXPECT_EQ(settings.loadSearchOptions(), s);
}

class SettingsFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "Rostermill.reg";
    RegistryFileStore profile{file, "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill"};
    SettingsStore settings{profile};

    void writeFile(const std::string& section, const std::string& values)
    {
        TempDir::write(file, "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill\\"
                                 + section + "]\r\n" + values);
    }
};

TEST_F(SettingsFileTest, PingScanSevenReadsTrueAndIsWrittenBackAsOne)
{
    writeFile("Search Options", "\"PingScan\"=dword:00000007\r\n");
    SearchOptions s = settings.loadSearchOptions();
    EXPECT_TRUE(s.pingScan);
    settings.saveSearchOptions(s);
    EXPECT_NE(TempDir::read(file).find("\"PingScan\"=dword:00000001"), std::string::npos);
}

TEST_F(SettingsFileTest, StoredZeroBitsStaysZero)
{
    writeFile("Passwords", "\"BitsOfEntropy\"=dword:00000000\r\n");
    EXPECT_EQ(settings.loadPasswordOptions().bitsOfEntropy, 0);
}

TEST_F(SettingsFileTest, NegativeAndOddScanTypesSurvive)
{
    writeFile("Search Options", "\"ScanType\"=dword:ffffffff\r\n");
    const SearchOptions s = settings.loadSearchOptions();
    EXPECT_EQ(static_cast<std::int32_t>(s.method), -1);
    settings.saveSearchOptions(s);
    EXPECT_NE(TempDir::read(file).find("\"ScanType\"=dword:ffffffff"), std::string::npos);
}

TEST_F(SettingsFileTest, TruncatedFileGivesDefaultsForWhatIsLost)
{
    writeFile("Passwords", "\"Lowercase\"=dword:00000000\r\n\"BitsOfEntropy\"=dword:000");
    const PasswordOptions p = settings.loadPasswordOptions();
    EXPECT_FALSE(p.lowercase);
    EXPECT_EQ(p.bitsOfEntropy, 0); // "dword:000" is a whole, valid value of 0
    writeFile("Passwords", "\"Lowercase\"=dword:00000000\r\n\"DictionaryFile\"=\"words.t");
    EXPECT_EQ(settings.loadPasswordOptions().dictionaryFile, "dict.txt");
}

TEST_F(SettingsFileTest, ARecordIsReadOnceAndWrittenOnce)
{
    writeFile("Passwords", "\"BitsOfEntropy\"=dword:00000040\r\n");
    DirectoryWatch opened(dir.path(), IN_OPEN);
    DirectoryWatch renamed(dir.path(), IN_MOVED_TO);
    ASSERT_TRUE(opened.watching() && renamed.watching());
    PasswordOptions p = settings.loadPasswordOptions();
    EXPECT_EQ(p.bitsOfEntropy, 64);
    EXPECT_EQ(opened.count(file.filename()), 1);
    EXPECT_TRUE(renamed.names().empty());

    p.bitsOfEntropy = 80;
    settings.savePasswordOptions(p);
    EXPECT_EQ(renamed.count(file.filename()), 1);
    EXPECT_EQ(settings.loadPasswordOptions(), p);
}

TEST_F(SettingsFileTest, UsernameAndModeSurviveARestart)
{
    settings.saveUsername("");
    settings.saveSearchGroups(true);
    RegistryFileStore again(file, "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill");
    SettingsStore next(again);
    EXPECT_EQ(next.loadUsername(), "");
    EXPECT_TRUE(next.loadSearchGroups());
}

} // namespace
} // namespace rm
