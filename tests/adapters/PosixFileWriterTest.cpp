#include "adapters/linux/PosixFileWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm {
namespace {

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::filesystem::path& file)
{
    struct stat st;
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class PosixFileWriterTest : public ::testing::Test {
protected:
    TempDir dir;
    PosixFileWriter writer;
};

TEST_F(PosixFileWriterTest, CreatesAFileWithTheUsualModeAndLeavesNothingElse)
{
    const mode_t mask = ::umask(022);
    const auto file = dir / "a.html";
    EXPECT_EQ(writer.replaceFile(file.string(), std::string("x\0y", 3)), FileFailure::None);
    ::umask(mask);
    EXPECT_EQ(TempDir::read(file), std::string("x\0y", 3));
    EXPECT_EQ(modeOf(file), 0644u);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.html"});
}

TEST_F(PosixFileWriterTest, ReplacesContentsAndKeepsTheFilesMode)
{
    const auto file = dir / "a.html";
    TempDir::write(file, std::string(5000, 'o'));
    ::chmod(file.c_str(), 0640);
    EXPECT_EQ(writer.replaceFile(file.string(), "new"), FileFailure::None);
    EXPECT_EQ(TempDir::read(file), "new");
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.html"});
}

uid_t ownerOf(const std::filesystem::path& file)
{
    struct stat st;
    return ::lstat(file.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
}

// The user's own link in a folder only the user can write is followed. What
// it leads to is replaced by a file of the user's: one of another user's
// keeps neither its owner nor its mode.
TEST_F(PosixFileWriterTest, WritesWhereALinkLeadsAndKeepsTheLink)
{
    const mode_t mask = ::umask(022);
    std::filesystem::create_directory(dir / "real");
    TempDir::write(dir / "real" / "t.html", "old");
    std::filesystem::create_symlink("real/t.html", dir / "link.html");
    EXPECT_EQ(writer.replaceFile((dir / "link.html").string(), "new"), FileFailure::None);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.html"));
    EXPECT_EQ(TempDir::read(dir / "real" / "t.html"), "new");

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((dir / "real" / "t.html").c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod((dir / "real" / "t.html").c_str(), 0666), 0);
        EXPECT_EQ(writer.replaceFile((dir / "link.html").string(), "newer"), FileFailure::None);
        EXPECT_EQ(TempDir::read(dir / "real" / "t.html"), "newer");
        EXPECT_EQ(ownerOf(dir / "real" / "t.html"), 0u);
        EXPECT_EQ(modeOf(dir / "real" / "t.html"), 0644u);
    }
    ::umask(mask);
    EXPECT_EQ(namesIn(dir / "real"), std::vector<std::string>{"t.html"});
}

// A link in a folder others can write may have been planted there, or
// swapped since: whoever owns it, nothing is written where it leads, and the
// write is refused. A 0600 file in a 0700 folder stands for what a run as
// root must never replace.
TEST_F(PosixFileWriterTest, ALinkInAFolderOthersCanWriteIsRefused)
{
    const auto secret = dir / "private" / "secret";
    TempDir::write(secret, "precious");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    ASSERT_EQ(::chmod(secret.parent_path().c_str(), 0700), 0);
    const auto shared = dir / "shared";
    std::filesystem::create_directory(shared);
    std::vector<uid_t> owners{::geteuid()};
    if (::geteuid() == 0)
        owners.push_back(65534); // planted by another user
    for (const mode_t folderMode : {0777, 01777, 0770}) {
        for (const uid_t owner : owners) {
            ASSERT_EQ(::chmod(shared.c_str(), folderMode), 0);
            const auto link = shared / "activity.html";
            std::filesystem::create_symlink(secret, link);
            ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
            EXPECT_EQ(writer.replaceFile(link.string(), "planted"), FileFailure::AccessDenied)
                << std::oct << folderMode << std::dec << " " << owner;
            EXPECT_EQ(TempDir::read(secret), "precious");
            EXPECT_EQ(modeOf(secret), 0600u);
            EXPECT_TRUE(std::filesystem::is_symlink(link));
            EXPECT_EQ(namesIn(shared), std::vector<std::string>{"activity.html"});
            EXPECT_EQ(namesIn(secret.parent_path()), std::vector<std::string>{"secret"});
            std::filesystem::remove(link);
        }
    }
}

// A write that fails half-way (the file size limit here) leaves the old
// contents and no partial file behind.
TEST_F(PosixFileWriterTest, FailedWriteLeavesTheTargetAsItWas)
{
    const auto file = dir / "a.html";
    TempDir::write(file, "the old page");
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileFailure failure = writer.replaceFile(file.string(), std::string(100000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failure, FileFailure::DiskFull);
    EXPECT_EQ(TempDir::read(file), "the old page");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.html"});
}

// A writable file in a folder that takes no new file is rewritten in place;
// a rewrite that fails leaves it empty, never looking complete. Run as a
// user who may not create files in the folder (root gives itself up in a child).
TEST_F(PosixFileWriterTest, WritableFileInAFolderTakingNoNewFile)
{
    const auto file = dir / "a.html";
    TempDir::write(file, "the old page");
    ::chmod(file.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0755);
    const bool root = ::geteuid() == 0;
    // Another user's file, writable by all, is never rewritten: it would keep its owner.
    const auto theirs = dir / "theirs.html";
    if (root) {
        TempDir::write(theirs, "their page");
        ::chmod(theirs.c_str(), 0666);
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0); // the writer's own
    }
    auto attempt = [&](rlim_t sizeLimit, const std::filesystem::path& target = {}) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::getuid() == 0 && ::setuid(65534) != 0)
                ::_exit(100);
            if (::getuid() != 0)
                ::chmod(dir.path().c_str(), 0555);
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {sizeLimit, sizeLimit};
            if (sizeLimit != RLIM_INFINITY)
                ::setrlimit(RLIMIT_FSIZE, &limit);
            const auto path = target.empty() ? file : target;
            ::_exit(static_cast<int>(PosixFileWriter().replaceFile(path.string(), std::string(5000, 'n'))));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ::chmod(dir.path().c_str(), 0755);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(attempt(RLIM_INFINITY), static_cast<int>(FileFailure::None));
    EXPECT_EQ(TempDir::read(file), std::string(5000, 'n'));
    EXPECT_EQ(attempt(1000), static_cast<int>(FileFailure::DiskFull));
    EXPECT_EQ(TempDir::read(file), "");
    if (root) {
        EXPECT_EQ(attempt(RLIM_INFINITY, theirs), static_cast<int>(FileFailure::AccessDenied));
        EXPECT_EQ(TempDir::read(theirs), "their page");
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.html", "theirs.html"}));
    } else {
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.html"});
    }
}

TEST_F(PosixFileWriterTest, CausesOfFailure)
{
    EXPECT_EQ(writer.replaceFile((dir / "missing" / "a.html").string(), "x"), FileFailure::NotFound);
    TempDir::write(dir / "plain", "x");
    EXPECT_EQ(writer.replaceFile((dir / "plain" / "a.html").string(), "x"), FileFailure::BadPath);
    std::filesystem::create_directory(dir / "folder.html");
    EXPECT_EQ(writer.replaceFile((dir / "folder.html").string(), "x"), FileFailure::AccessDenied);
    EXPECT_EQ(writer.replaceFile("", "x"), FileFailure::BadPath);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"folder.html", "plain"}));
}

} // namespace
} // namespace rm
