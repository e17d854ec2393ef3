// Journals on disk: made private and never over a name already there (a
// planted link included), held against every other claim while their
// writer lives, and free to be claimed once it is gone.
#include "adapters/linux/PosixJournalFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm {
namespace {

TEST(PosixJournalFilesTest, HeldWhileItsWriterLivesNeverOverAnotherName)
{
    TempDir dir;
    PosixJournalFiles journals;
    const std::string path = (dir / "Log a.html.journal").string();
    FileFailure failure = FileFailure::Generic;
    std::unique_ptr<JournalFile> writer = journals.create(path, "first", failure);
    ASSERT_TRUE(writer);
    EXPECT_EQ(failure, FileFailure::None);
    ASSERT_EQ(writer->append("second"), FileFailure::None);
    EXPECT_EQ(writer->read(), "first\nsecond\n"); // the finished batch's log is made from this
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(journals.list(dir.path().string()), std::vector<std::string>{path}); // no temporary file left

    // Taken neither here nor by another process while held.
    EXPECT_FALSE(journals.claim(path));
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(PosixJournalFiles().claim(path) ? 1 : 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(journals.create(path, "again", failure));
    EXPECT_EQ(failure, FileFailure::SharingViolation);

    // A link planted under a journal's name stays, and what it leads to is untouched.
    const std::string planted = (dir / "Log b.html.journal").string();
    TempDir::write(dir / "victim", "victim");
    ASSERT_EQ(::symlink((dir / "victim").c_str(), planted.c_str()), 0);
    EXPECT_FALSE(journals.create(planted, "first", failure));
    EXPECT_EQ(TempDir::read(dir / "victim"), "victim");
    EXPECT_FALSE(journals.claim(planted));

    writer.reset(); // as a killed writer's lock goes with its process
    std::unique_ptr<JournalFile> claimed = journals.claim(path);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->read(), "first\nsecond\n");
    EXPECT_FALSE(journals.claim(path));
    EXPECT_EQ(claimed->remove(), FileFailure::None);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace rm
