#include "settings/FileReplace.h"
#include "settings/WriteFully.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

constexpr int MaxLinks = 40; // the kernel's own limit

// A folder where only the user (and root, who can anyway) may add, remove
// or swap names.
bool onlyTheUserWrites(const std::filesystem::path& folder)
{
    struct stat st;
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0)
        return false;
    const bool owner = st.st_uid == ::geteuid() || st.st_uid == 0;
    return owner && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::optional<std::string> randomSuffix()
{
    unsigned char bytes[8];
    ssize_t n;
    while ((n = ::getrandom(bytes, sizeof bytes, 0)) < 0 && errno == EINTR) {}
    if (n != static_cast<ssize_t>(sizeof bytes))
        return std::nullopt;
    std::string out;
    for (unsigned char b : bytes) {
        out += "0123456789abcdef"[b >> 4];
        out += "0123456789abcdef"[b & 0xF];
    }
    return out;
}

} // namespace

void syncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int createBeside(const std::filesystem::path& target, int flags, mode_t createMode, std::string& temp)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::optional<std::string> suffix = randomSuffix();
        if (!suffix)
            return -EAGAIN;
        temp = target.string() + ".tmp-" + *suffix;
        const int fd = ::open(temp.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW, createMode);
        if (fd >= 0 || errno != EEXIST)
            return fd >= 0 ? fd : -errno;
    }
    return -EEXIST;
}

int followOwnLinks(const std::filesystem::path& path, FollowedPath& out)
{
    out = {path, false};
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat st;
        if (::lstat(out.path.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        // A link someone else planted, or could swap, decides nothing.
        if (st.st_uid != ::geteuid() || !onlyTheUserWrites(out.path.parent_path()))
            return EACCES;
        std::string text(PATH_MAX, '\0');
        const ssize_t n = ::readlink(out.path.c_str(), text.data(), text.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) == text.size())
            return ENAMETOOLONG;
        text.resize(static_cast<std::size_t>(n));
        const std::filesystem::path next(text);
        out.path = next.is_absolute() ? next : out.path.parent_path() / next;
        out.linked = true;
    }
    return ELOOP;
}

int replaceByRename(const std::filesystem::path& target, const std::string& contents, mode_t createMode,
                    std::optional<mode_t> mode)
{
    std::string temp;
    const int fd = createBeside(target, O_WRONLY | O_CLOEXEC, createMode, temp);
    if (fd < 0)
        return -fd;
    int error = mode && ::fchmod(fd, *mode) != 0 ? errno : 0;
    if (error == 0)
        error = writeFully(fd, contents);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    syncFolder(target.parent_path());
    return 0;
}

} // namespace rm
