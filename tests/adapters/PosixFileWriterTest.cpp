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

TEST_F(PosixFileWriterTest, WritesWhereALinkLeadsAndKeepsTheLink)
{
    std::filesystem::create_directory(dir / "real");
    TempDir::write(dir / "real" / "t.html", "old");
    std::filesystem::create_symlink("real/t.html", dir / "link.html");
    EXPECT_EQ(writer.replaceFile((dir / "link.html").string(), "new"), FileFailure::None);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.html"));
    EXPECT_EQ(TempDir::read(dir / "real" / "t.html"), "new");
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
    auto attempt = [&](rlim_t sizeLimit) {
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
            ::_exit(static_cast<int>(PosixFileWriter().replaceFile(file.string(), std::string(5000, 'n'))));
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
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.html"});
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
