#include "settings/RegistryFileDisk.h"
#include "settings/RegistryFileStore.h"
#include "support/DirectoryWatch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace rm {
namespace {

namespace fs = std::filesystem;

const std::string Root = "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill";
const std::string Head = "Windows Registry Editor Version 5.00\r\n\r\n[" + Root + "\\Search Options]\r\n";
constexpr int NoExit = -1; // killed when out of time, or died of a signal

// Runs `body` in a child process and gives its exit code, so that a call that
// blocks or reads without end fails the test instead of hanging it.
int inChild(const std::function<bool()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
#ifndef __SANITIZE_ADDRESS__
        // An endless read runs into this rather than into the machine's memory.
        rlim_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * ::sysconf(_SC_PAGESIZE) + (rlim_t(1) << 30);
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_AS, &cap);
#endif
        try {
            ::_exit(body() ? 0 : 1);
        } catch (...) {
            ::_exit(2); // never back into the test runner in a second process
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return NoExit;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : NoExit;
}

bool isA(const fs::path& p, mode_t type)
{
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

fs::path withSuffix(fs::path p, const std::string& suffix)
{
    p += suffix;
    return p;
}

class RegistryFileDiskTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path folder = dir / "Korvane";
    fs::path file = folder / "Rostermill.reg";
    RegistryFileStore store{file, Root};

    void SetUp() override { fs::create_directories(folder); }

    // Whether PingScan reads as its default (the planted files hold 0 or
    // nothing readable); then writes a value.
    bool readsDefaultsAndWrites()
    {
        const bool defaults = store.readInteger("Search Options", "PingScan", 1) == 1;
        store.writeInteger("Search Options", "ScanType", 1);
        return defaults;
    }
    // Looks at the size first: this process has no cap on what a fault could read.
    bool written()
    {
        return isA(file, S_IFREG) && fs::file_size(file) < 4096
            && RegistryFileStore(file, Root).readInteger("Search Options", "ScanType", 0) == 1;
    }
};

TEST_F(RegistryFileDiskTest, FifoInPlaceNeitherBlocksNorStaysInTheWay)
{
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(inChild([&] { return readsDefaultsAndWrites(); }), 0);
    EXPECT_TRUE(written());
    EXPECT_TRUE(isA(withSuffix(file, ".damaged"), S_IFIFO));
}

TEST_F(RegistryFileDiskTest, SocketInPlaceIsSetAside)
{
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(file.string().size(), sizeof address.sun_path);
    file.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(inChild([&] { return readsDefaultsAndWrites(); }), 0);
    ::close(s);
    EXPECT_TRUE(written());
    EXPECT_TRUE(isA(withSuffix(file, ".damaged"), S_IFSOCK));
}

TEST_F(RegistryFileDiskTest, FolderInPlaceIsSetAsideWhole)
{
    TempDir::write(file / "inner" / "keep", "kept");
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_TRUE(written());
    EXPECT_EQ(TempDir::read(withSuffix(file, ".damaged") / "inner" / "keep"), "kept");
}

TEST_F(RegistryFileDiskTest, AFileOverTheCapIsSetAsideUnread)
{
    const std::string valid = Head + "\"PingScan\"=dword:00000000\r\n";
    const std::string filler = ";" + std::string(78, '-') + "\r\n";
    std::string full = valid;
    while (full.size() + filler.size() <= RegistryFileDisk::MaxSize)
        full += filler;
    full += std::string(RegistryFileDisk::MaxSize - full.size(), ';');
    TempDir::write(file, full);
    EXPECT_EQ(store.readInteger("Search Options", "PingScan", 1), 0u); // exactly at the cap: read

    TempDir::write(file, full + ";");
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_TRUE(written());
    EXPECT_EQ(fs::file_size(withSuffix(file, ".damaged")), RegistryFileDisk::MaxSize + 1);
}

TEST_F(RegistryFileDiskTest, HugeSparseFileIsNeitherReadNorCopied)
{
    TempDir::write(file, Head + "\"PingScan\"=dword:00000000\r\n");
    const std::uintmax_t huge = std::uintmax_t(64) << 30;
    fs::resize_file(file, huge);
    EXPECT_EQ(inChild([&] { return readsDefaultsAndWrites(); }), 0);
    EXPECT_TRUE(written());
    EXPECT_EQ(fs::file_size(withSuffix(file, ".damaged")), huge);
}

// A zero device of the test's own where it can make one, so that a fault in
// the store can never move or replace one of the machine's.
fs::path zeroDevice(const TempDir& dir)
{
    const fs::path own = dir / "zero";
    if (::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0)
        return own;
    return ::geteuid() == 0 ? fs::path() : fs::path("/dev/zero");
}

TEST_F(RegistryFileDiskTest, NonRegularFilesBehindALinkAreLeftAlone)
{
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path zero = zeroDevice(dir);
    for (const auto& [target, type] : {std::pair{fifo, S_IFIFO}, std::pair{zero, S_IFCHR}}) {
        if (target.empty())
            GTEST_SKIP() << "no zero device of the test's own";
        fs::remove(file);
        fs::create_symlink(target, file);
        EXPECT_EQ(inChild([&] { return readsDefaultsAndWrites(); }), 0) << target;
        ASSERT_TRUE(isA(target, type)) << target;
        ASSERT_EQ(fs::read_symlink(file), target);
        ASSERT_FALSE(fs::exists(withSuffix(file, ".damaged"))) << target;
        ASSERT_FALSE(fs::exists(withSuffix(target, ".damaged"))) << target;
    }
}

TEST_F(RegistryFileDiskTest, ALinkedFileStaysALinkAndItsTargetIsWritten)
{
    const fs::path target = dir / "dotfiles" / "Rostermill.reg";
    TempDir::write(target, Head + "\"Domain\"=\"lab.example\"\r\n");
    fs::create_symlink("../dotfiles/Rostermill.reg", folder / "middle.reg");
    fs::create_symlink("middle.reg", file); // a chain of two, both relative

    EXPECT_EQ(store.readText("Search Options", "Domain", ""), "lab.example");
    store.writeInteger("Search Options", "ScanType", 1);
    EXPECT_EQ(fs::read_symlink(file), "middle.reg");
    const std::string text = TempDir::read(target);
    EXPECT_NE(text.find("\"Domain\"=\"lab.example\""), std::string::npos);
    EXPECT_NE(text.find("\"ScanType\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);

    TempDir::write(target, "damaged");
    store.writeInteger("Search Options", "ScanType", 0);
    EXPECT_EQ(TempDir::read(withSuffix(target, ".damaged")), "damaged"); // beside the target
    EXPECT_TRUE(fs::is_symlink(file));
    for (const fs::path& f : {folder, target.parent_path()})
        for (const auto& entry : fs::directory_iterator(f))
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();

    fs::remove(target); // a dangling link: its target is made
    store.writeInteger("Search Options", "ScanType", 1);
    EXPECT_TRUE(isA(target, S_IFREG));
    EXPECT_TRUE(fs::is_symlink(file));
}

TEST_F(RegistryFileDiskTest, LinkLoopsAndOthersFilesAreNeverReplaced)
{
    fs::create_symlink("loop.reg", file);
    fs::create_symlink("Rostermill.reg", folder / "loop.reg");
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_EQ(fs::read_symlink(file), "loop.reg");
    EXPECT_FALSE(fs::exists(withSuffix(file, ".damaged")));

    // In a folder others can write, a link may be planted or swapped: even
    // one leading to the user's own file is not followed.
    const fs::path mine = dir / "mine.reg";
    TempDir::write(mine, Head + "\"PingScan\"=dword:00000000\r\n");
    fs::remove(file);
    fs::create_symlink(mine, file);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_EQ(TempDir::read(mine), Head + "\"PingScan\"=dword:00000000\r\n");
    EXPECT_EQ(fs::read_symlink(file), mine);
    EXPECT_FALSE(fs::exists(withSuffix(mine, ".damaged")));
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);

    if (::geteuid() != 0)
        GTEST_SKIP() << "making a file of another user needs root";
    const fs::path theirs = dir / "theirs.reg";
    TempDir::write(theirs, "their own text");
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    fs::remove(file);
    fs::create_symlink(theirs, file);
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_EQ(TempDir::read(theirs), "their own text");
    EXPECT_FALSE(fs::exists(withSuffix(theirs, ".damaged")));
}

TEST_F(RegistryFileDiskTest, PlantedLinksAtLockAndOldTemporaryNamesAreNotFollowed)
{
    const fs::path victim = dir / "victim";
    TempDir::write(victim, "precious");
    fs::create_symlink(victim, withSuffix(file, ".lock"));
    fs::create_symlink(victim, withSuffix(file, ".tmp-" + std::to_string(::getpid())));
    EXPECT_TRUE(readsDefaultsAndWrites());
    EXPECT_FALSE(fs::exists(file)); // no lock, no write
    EXPECT_EQ(TempDir::read(victim), "precious");

    fs::remove(withSuffix(file, ".lock"));
    ASSERT_EQ(::mkfifo(withSuffix(file, ".lock").c_str(), 0600), 0);
    EXPECT_EQ(inChild([&] { return readsDefaultsAndWrites(); }), 0);
    EXPECT_FALSE(fs::exists(file));

    fs::remove(withSuffix(file, ".lock"));
    store.writeInteger("Search Options", "ScanType", 1);
    EXPECT_TRUE(written());
    EXPECT_EQ(TempDir::read(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(withSuffix(file, ".tmp-" + std::to_string(::getpid()))));
    EXPECT_TRUE(isA(withSuffix(file, ".lock"), S_IFREG));
}

TEST_F(RegistryFileDiskTest, TemporaryNamesCannotBeForeseen)
{
    DirectoryWatch created(folder, IN_CREATE);
    ASSERT_TRUE(created.watching());
    store.writeInteger("Search Options", "ScanType", 1);
    store.writeInteger("Search Options", "ScanType", 2);
    std::vector<std::string> temporary;
    for (const std::string& name : created.names())
        if (name != "Rostermill.reg.lock")
            temporary.push_back(name);
    ASSERT_EQ(temporary.size(), 2u);
    EXPECT_NE(temporary[0], temporary[1]);
    for (const std::string& name : temporary) {
        const std::string prefix = "Rostermill.reg.tmp-";
        ASSERT_EQ(name.rfind(prefix, 0), 0u) << name;
        const std::string suffix = name.substr(prefix.size());
        EXPECT_EQ(suffix.size(), 16u) << name;
        EXPECT_EQ(suffix.find(std::to_string(::getpid())), std::string::npos) << name;
    }
}

TEST_F(RegistryFileDiskTest, SetAsideCopiesAreNeverOverwrittenHoweverMany)
{
    auto aside = [&](int n) { return withSuffix(file, n == 1 ? ".damaged" : ".damaged-" + std::to_string(n)); };
    for (int n = 1; n <= 1200; ++n)
        TempDir::write(aside(n), "copy " + std::to_string(n));
    fs::create_symlink(dir / "victim", aside(1201)); // a dangling link is a taken name too
    TempDir::write(file, "damaged again");

    store.writeInteger("Search Options", "ScanType", 1);
    EXPECT_TRUE(written());
    EXPECT_EQ(TempDir::read(aside(1202)), "damaged again");
    for (int n = 1; n <= 1200; ++n)
        ASSERT_EQ(TempDir::read(aside(n)), "copy " + std::to_string(n));
    EXPECT_TRUE(fs::is_symlink(aside(1201)));
    EXPECT_FALSE(fs::exists(dir / "victim"));
}

} // namespace
} // namespace rm
