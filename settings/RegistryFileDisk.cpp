#include "settings/RegistryFileDisk.h"
#include "settings/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

using Kind = RegistryFileDisk::Kind;

// Reads what was opened, provided it is still the regular file looked at.
RegistryFileDisk::Contents readOpened(int fd, const struct stat& seen, Kind tooLarge)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_dev != seen.st_dev || st.st_ino != seen.st_ino)
        return {Kind::Unreadable, {}};
    RegistryFileDisk::Contents contents{Kind::Text, {}};
    char chunk[16384];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {Kind::Unreadable, {}};
        if (n == 0)
            return contents;
        contents.text.append(chunk, static_cast<std::size_t>(n));
        if (contents.text.size() > RegistryFileDisk::MaxSize)
            return {tooLarge, {}};
    }
}

// A rename that never replaces: RENAME_NOREPLACE, or where the file system
// lacks it, link and unlink (which cannot move a folder).
bool moveWithoutReplacing(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from, to) != 0)
        return false;
    ::unlink(from);
    return true;
}

} // namespace

RegistryFileDisk::RegistryFileDisk(const std::filesystem::path& file)
{
    FollowedPath followed;
    if (followOwnLinks(file, followed) == 0) {
        target_ = followed.path;
        linked_ = followed.linked;
    }
}

RegistryFileDisk::Contents RegistryFileDisk::read() const
{
    if (!target_)
        return {Kind::Unreadable, {}};
    // What a link leads to is the user's business unless it is plainly our file.
    const Kind notOurs = linked_ ? Kind::Unreadable : Kind::Foreign;
    struct stat st;
    if (::lstat(target_->c_str(), &st) != 0)
        return {errno == ENOENT ? Kind::Absent : Kind::Unreadable, {}};
    if (!S_ISREG(st.st_mode) || st.st_size > static_cast<off_t>(MaxSize))
        return {notOurs, {}};
    if (linked_ && st.st_uid != ::geteuid())
        return {Kind::Unreadable, {}};
    int fd = ::open(target_->c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {Kind::Unreadable, {}};
    Contents contents = readOpened(fd, st, notOurs);
    ::close(fd);
    return contents;
}

bool RegistryFileDisk::setAside() const
{
    if (!target_)
        return false;
    for (unsigned long long n = 1;; ++n) {
        const std::string aside =
            target_->string() + (n == 1 ? ".damaged" : ".damaged-" + std::to_string(n));
        if (moveWithoutReplacing(target_->c_str(), aside.c_str()))
            return true;
        if (errno != EEXIST)
            return false;
    }
}

bool RegistryFileDisk::replace(const std::string& contents) const
{
    return target_ && replaceByRename(*target_, contents, 0600) == 0;
}

} // namespace rm
