#include "adapters/linux/PosixFileReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace rm {
namespace {

TEST(PosixFileReader, ReadsRegularFilesWithinTheLimitOnly)
{
    TempDir dir;
    PosixFileReader reader;
    const std::string contents("one\0two\n", 8);
    TempDir::write(dir / "words", contents);
    EXPECT_EQ(reader.readFile((dir / "words").string(), 8), contents);
    EXPECT_EQ(reader.readFile((dir / "words").string(), 7), std::nullopt);
    TempDir::write(dir / "empty", "");
    EXPECT_EQ(reader.readFile((dir / "empty").string(), 0), "");

    std::filesystem::create_symlink(dir / "words", dir / "link");
    EXPECT_EQ(reader.readFile((dir / "link").string(), 100), contents);
    EXPECT_EQ(reader.readFile((dir / "missing").string(), 100), std::nullopt);
    EXPECT_EQ(reader.readFile(dir.path().string(), 100), std::nullopt);
    // A named pipe with no writer would block a plain open.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(reader.readFile((dir / "pipe").string(), 100), std::nullopt);
}

} // namespace
} // namespace rm
