#include "adapters/linux/PosixJournalFiles.h"

#include "adapters/linux/PosixFileWriter.h"
#include "settings/FileReplace.h"
#include "settings/WriteFully.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

// Far beyond any batch; a larger file is not read into memory.
constexpr off_t MaxJournalBytes = 64 << 20;

class PosixJournal : public JournalFile {
public:
    PosixJournal(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixJournal() override { ::close(fd_); }

    const std::string& path() const override { return path_; }

    FileFailure append(const std::string& line) override
    {
        int error = writeFully(fd_, line + "\n");
        if (error == 0 && ::fdatasync(fd_) != 0)
            error = errno;
        return error == 0 ? FileFailure::None : fileFailureOf(error);
    }

    std::optional<std::string> read() override
    {
        struct stat st;
        if (::fstat(fd_, &st) != 0 || st.st_size > MaxJournalBytes)
            return std::nullopt;
        std::string text(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::pread(fd_, text.data() + got, text.size() - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
        return text;
    }

    // Only while the name is still this very file: one put in its place is
    // someone else's.
    FileFailure remove() override
    {
        struct stat own, named;
        if (::fstat(fd_, &own) != 0 || ::lstat(path_.c_str(), &named) != 0)
            return fileFailureOf(errno);
        if (own.st_dev != named.st_dev || own.st_ino != named.st_ino)
            return FileFailure::AccessDenied;
        if (::unlink(path_.c_str()) != 0)
            return fileFailureOf(errno);
        syncFolder(std::filesystem::path(path_).parent_path());
        return FileFailure::None;
    }

private:
    int fd_;
    std::string path_;
};

// The temporary file under the journal's name, never over anything there.
int takeName(const std::string& temp, const std::string& path)
{
    if (::link(temp.c_str(), path.c_str()) == 0)
        return 0;
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    // Folders without hard links.
    return ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

} // namespace

std::unique_ptr<JournalFile> PosixJournalFiles::create(const std::string& path, const std::string& firstLine,
                                                       FileFailure& failure)
{
    std::string temp;
    const int fd = createBeside(path, O_RDWR | O_APPEND | O_CLOEXEC, 0600, temp);
    if (fd < 0) {
        failure = fileFailureOf(-fd);
        return nullptr;
    }
    auto journal = std::make_unique<PosixJournal>(fd, path);
    int error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (error == 0)
        failure = journal->append(firstLine);
    if (error == 0 && failure == FileFailure::None)
        error = takeName(temp, path);
    ::unlink(temp.c_str());
    if (error != 0)
        failure = error == EEXIST ? FileFailure::SharingViolation : fileFailureOf(error);
    if (failure != FileFailure::None)
        return nullptr;
    syncFolder(std::filesystem::path(path).parent_path());
    return journal;
}

std::vector<std::string> PosixJournalFiles::list(const std::string& folder)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 8 && name.compare(name.size() - 8, 8, ".journal") == 0)
            paths.push_back(folder.empty() ? name : it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::unique_ptr<JournalFile> PosixJournalFiles::claim(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto journal = std::make_unique<PosixJournal>(fd, path);
    struct stat st, named;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return nullptr; // a running batch's
    // Taken and removed by another start while this one waited for nothing.
    if (::fstat(fd, &st) != 0 || st.st_nlink == 0 || ::lstat(path.c_str(), &named) != 0 || named.st_ino != st.st_ino
        || named.st_dev != st.st_dev)
        return nullptr;
    return journal;
}

} // namespace rm
