#include "settings/RegistryFileStore.h"
#include "support/DirectoryWatch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <thread>

namespace {
std::atomic<int> fileSyncs{0};
std::atomic<int> folderSyncs{0};
} // namespace

// A link seam: this program's own fsync counts what the store syncs, then
// hands the call on to the C library.
extern "C" int fsync(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) == 0)
        ++(S_ISDIR(st.st_mode) ? folderSyncs : fileSyncs);
    static const auto next = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return next(fd);
}

namespace rm {
namespace {

const std::string Root = "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill";
const std::string Header = "Windows Registry Editor Version 5.00\r\n\r\n";

class RegistryFileStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "Korvane/Rostermill.reg";
    RegistryFileStore store{file, Root};

    void writeFile(const std::string& values)
    {
        TempDir::write(file, Header + "[" + Root + "\\Search Options]\r\n" + values);
    }
};

TEST_F(RegistryFileStoreTest, MissingFileGivesDefaultsAndOpeningCreatesTheSection)
{
    EXPECT_EQ(store.readInteger("Search Options", "PingScan", 1), 1u);
    EXPECT_EQ(store.readText("Search Options", "Domain", "dflt"), "dflt");
    const std::string text = TempDir::read(file);
    EXPECT_NE(text.find("[" + Root + "\\Search Options]"), std::string::npos);
    EXPECT_EQ(text.find("PingScan"), std::string::npos);
}

TEST_F(RegistryFileStoreTest, WritesAreReadBackAndReplaceTheFileWhole)
{
    store.writeText("Search Options", "Domain", "lab.example");
    store.writeInteger("Search Options", "ScanType", 1);
    store.writeText("Passwords", "DictionaryFile", "dict.txt");
    store.writeInteger("Search Options", "ScanType", 0xFFFFFFFFu);

    EXPECT_EQ(store.readText("search options", "DOMAIN", ""), "lab.example");
    EXPECT_EQ(store.readInteger("Search Options", "ScanType", 5), 0xFFFFFFFFu);
    EXPECT_EQ(store.readText("Passwords", "DictionaryFile", ""), "dict.txt");
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::none);
}

TEST_F(RegistryFileStoreTest, IntegerAndTextStayDistinct)
{
    store.writeInteger("Search Options", "Domain", 7);
    EXPECT_EQ(store.readText("Search Options", "Domain", "dflt"), "dflt");
    store.writeText("Search Options", "Number", "12345");
    // Longer than four bytes as stored text: the integer read falls back.
    EXPECT_EQ(store.readInteger("Search Options", "Number", 9), 9u);
}

TEST_F(RegistryFileStoreTest, IntegerReadTakesUpToFourBytesWhateverTheType)
{
    writeFile("\"Two\"=hex:01,02\r\n\"Five\"=hex:01,00,00,00,00\r\n\"Empty\"=\"\"\r\n"
              "\"Big\"=dword:80000000\r\n");
    EXPECT_EQ(store.readInteger("Search Options", "Two", 9), 0x0201u);
    EXPECT_EQ(store.readInteger("Search Options", "Five", 9), 9u);
    EXPECT_EQ(store.readInteger("Search Options", "Empty", 9), 0u); // two bytes: the terminator
    EXPECT_EQ(store.readInteger("Search Options", "Big", 9), 0x80000000u);
}

TEST_F(RegistryFileStoreTest, DamagedFileReadsAsDefaultsAndIsSetAsideBeforeAWrite)
{
    const std::string damaged = Header + "[" + Root + "\\Search Options]\r\n"
        + "\"PingScan\"=dword:00000000\r\n\"Domain\"=\"lab.exa";
    TempDir::write(file, damaged);
    EXPECT_EQ(store.readInteger("Search Options", "PingScan", 1), 0u);
    EXPECT_EQ(store.readText("Search Options", "Domain", "dflt"), "dflt");
    EXPECT_EQ(TempDir::read(file), damaged); // reading changed nothing

    store.writeInteger("Search Options", "ScanType", 1);
    std::filesystem::path aside = file;
    aside += ".damaged";
    EXPECT_EQ(TempDir::read(aside), damaged);
    EXPECT_EQ(store.readInteger("Search Options", "ScanType", 0), 1u);
    EXPECT_EQ(store.readInteger("Search Options", "PingScan", 1), 0u); // what could be read stays

    // A second damaged file does not overwrite the first one set aside.
    TempDir::write(file, "not a registry file");
    store.writeInteger("Search Options", "ScanType", 0);
    std::filesystem::path second = file;
    second += ".damaged-2";
    EXPECT_EQ(TempDir::read(aside), damaged);
    EXPECT_EQ(TempDir::read(second), "not a registry file");
}

TEST_F(RegistryFileStoreTest, ForeignTextReadsAsDefaults)
{
    TempDir::write(file, std::string("\x7f" "ELF\0\0garbage", 12));
    EXPECT_EQ(store.readText("Search Options", "Username", "Administrator"), "Administrator");
    EXPECT_EQ(store.readInteger("Search Options", "ScanHidden", 1), 1u);
}

TEST_F(RegistryFileStoreTest, TwoCopiesSeeEachOthersWritesValueByValue)
{
    RegistryFileStore other(file, Root);
    store.writeText("Search Options", "Domain", "first");
    other.writeText("Search Options", "Username", "alice");
    store.writeInteger("Search Options", "Search Groups", 1);
    EXPECT_EQ(other.readText("Search Options", "Domain", ""), "first");
    EXPECT_EQ(store.readText("Search Options", "Username", ""), "alice");
    other.writeText("Search Options", "Username", "bob"); // the last writer wins
    EXPECT_EQ(store.readText("Search Options", "Username", ""), "bob");
}

TEST_F(RegistryFileStoreTest, KeysOfOthersAreKept)
{
    TempDir::write(file, Header + "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=\"me\"\r\n");
    store.writeInteger("Passwords", "BitsOfEntropy", 128);
    RegistryFile f = RegistryFile::parse(TempDir::read(file));
    ASSERT_NE(f.find("HKEY_CURRENT_USER\\Software\\Other", "Keep"), nullptr);
}

TEST_F(RegistryFileStoreTest, ABatchReadsTheFileOnce)
{
    writeFile("\"PingScan\"=dword:00000000\r\n\"Domain\"=\"lab.example\"\r\n");
    DirectoryWatch opens(file.parent_path(), IN_OPEN);
    ASSERT_TRUE(opens.watching());
    {
        ProfileStore::Batch batch(store);
        EXPECT_EQ(store.readText("Search Options", "Domain", ""), "lab.example");
        EXPECT_EQ(store.readInteger("Search Options", "PingScan", 1), 0u);
        for (const char* name : {"ScanType", "RestrictToOrgUnit", "OrgUnit", "ScanHidden"})
            store.readInteger("Search Options", name, 0);
        store.writeInteger("Search Options", "PingScan", 1);
        EXPECT_EQ(store.readInteger("Search Options", "PingScan", 0), 1u); // its own write
        EXPECT_EQ(opens.count(file.filename()), 1);
    }
    EXPECT_EQ(opens.count(file.filename()), 1); // read afresh under the lock to write
    store.readInteger("Search Options", "PingScan", 0);
    EXPECT_EQ(opens.count(file.filename()), 1); // a call outside a batch reads once too
}

TEST_F(RegistryFileStoreTest, ABatchWritesOnceWithOneTemporaryFileOneSyncAndOneRename)
{
    store.readInteger("Passwords", "Lowercase", 1);
    DirectoryWatch created(file.parent_path(), IN_CREATE);
    DirectoryWatch renamed(file.parent_path(), IN_MOVED_TO);
    ASSERT_TRUE(created.watching() && renamed.watching());
    const int filesBefore = fileSyncs, foldersBefore = folderSyncs;
    {
        ProfileStore::Batch batch(store);
        for (int i = 0; i < 12; ++i)
            store.writeInteger("Passwords", "Value" + std::to_string(i), i);
    }
    EXPECT_EQ(fileSyncs - filesBefore, 1);
    EXPECT_EQ(folderSyncs - foldersBefore, 1);
    EXPECT_EQ(renamed.names(), std::vector<std::string>{file.filename()});
    const std::vector<std::string> temporary = created.names();
    ASSERT_EQ(temporary.size(), 1u);
    EXPECT_EQ(temporary[0].rfind("Rostermill.reg.tmp-", 0), 0u) << temporary[0];
    EXPECT_EQ(store.readInteger("Passwords", "Value11", 0), 11u);

    {
        ProfileStore::Batch batch(store); // reads of a section that exists write nothing
        store.readInteger("Passwords", "Value3", 0);
    }
    EXPECT_EQ(fileSyncs - filesBefore, 1);
    EXPECT_TRUE(renamed.names().empty());
}

TEST_F(RegistryFileStoreTest, TwoCopiesWritingRecordsKeepEachOthersValues)
{
    RegistryFileStore other(file, Root);
    store.writeText("Search Options", "Domain", "old");
    store.writeText("Search Options", "Username", "alice");
    {
        ProfileStore::Batch record(store);
        EXPECT_EQ(store.readText("Search Options", "Username", ""), "alice");
        other.writeText("Search Options", "Username", "bob"); // meanwhile, the other copy
        store.writeText("Search Options", "Domain", "first.example");
    }
    EXPECT_EQ(other.readText("Search Options", "Username", ""), "bob");
    EXPECT_EQ(other.readText("Search Options", "Domain", ""), "first.example");
    {
        ProfileStore::Batch record(other);
        other.writeText("Search Options", "Domain", "second.example");
    }
    EXPECT_EQ(store.readText("Search Options", "Domain", ""), "second.example"); // the last writer
    EXPECT_EQ(store.readText("Search Options", "Username", ""), "bob");
}

TEST_F(RegistryFileStoreTest, ConcurrentCopiesLoseNoValue)
{
    auto copy = [this](const std::string& prefix) {
        RegistryFileStore own(file, Root);
        for (int i = 0; i < 20; ++i) {
            ProfileStore::Batch record(own);
            own.writeInteger("Search Options", prefix + std::to_string(i), i);
            own.writeInteger("Search Options", "Last", i);
        }
    };
    std::thread a(copy, "A"), b(copy, "B");
    a.join();
    b.join();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(store.readInteger("Search Options", "A" + std::to_string(i), 99), unsigned(i));
        EXPECT_EQ(store.readInteger("Search Options", "B" + std::to_string(i), 99), unsigned(i));
    }
    EXPECT_EQ(store.readInteger("Search Options", "Last", 99), 19u);
}

TEST(RegistryFileStoreLocation, FollowsTheXdgConfigFolder)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = saved ? saved : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(RegistryFileStore::defaultLocation("Korvane", "Rostermill"),
              "/somewhere/config/Korvane/Rostermill.reg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(RegistryFileStore::defaultLocation("Korvane", "Rostermill"),
              "/home/u/.config/Korvane/Rostermill.reg");
    ::setenv("HOME", home.c_str(), 1);
    if (saved)
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace rm
