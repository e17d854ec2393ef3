#include "settings/RegistryFileDisk.h"
#include "settings/WriteFully.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

using Kind = RegistryFileDisk::Kind;

constexpr int MaxLinks = 40; // the kernel's own limit

// Follows symlinks one at a time; nothing for a loop or a link that cannot be read.
std::optional<std::filesystem::path> resolve(std::filesystem::path path, bool& linked)
{
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        std::string text(PATH_MAX, '\0');
        ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
        if (n < 0)
            return errno == EINVAL || errno == ENOENT ? std::optional(path) : std::nullopt;
        if (static_cast<std::size_t>(n) == text.size())
            return std::nullopt;
        text.resize(static_cast<std::size_t>(n));
        std::filesystem::path next(text);
        path = next.is_absolute() ? next : path.parent_path() / next;
        linked = true;
    }
    return std::nullopt;
}

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

void syncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

RegistryFileDisk::RegistryFileDisk(const std::filesystem::path& file)
{
    target_ = resolve(file, linked_);
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
    const std::optional<std::string> suffix = randomSuffix();
    if (!target_ || !suffix)
        return false;
    const std::string temp = target_->string() + ".tmp-" + *suffix;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = writeFully(fd, contents) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), target_->c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(target_->parent_path());
    return true;
}

} // namespace rm
