#include "adapters/linux/PosixFileWriter.h"
#include "settings/FileReplace.h"
#include "settings/WriteFully.h"

#include <cerrno>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {

FileFailure fileFailureOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return FileFailure::AccessDenied;
    case ENOENT:
        return FileFailure::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return FileFailure::BadPath;
    case EMFILE:
    case ENFILE:
        return FileFailure::TooManyOpenFiles;
    case ETXTBSY:
    case EBUSY:
        return FileFailure::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileFailure::DiskFull;
    case EIO:
        return FileFailure::HardIo;
    default:
        return FileFailure::Generic;
    }
}

namespace {

// Only a regular file of the user's own, the very one looked at: rewriting
// another's in place would keep its owner and mode for what the user wrote.
FileFailure rewriteInPlace(const std::filesystem::path& target, const struct stat& seen, const std::string& contents)
{
    int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fileFailureOf(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_dev != seen.st_dev || st.st_ino != seen.st_ino || !S_ISREG(st.st_mode)
        || st.st_uid != ::geteuid()) {
        ::close(fd);
        return FileFailure::AccessDenied;
    }
    int error = ::ftruncate(fd, 0) == 0 ? writeFully(fd, contents) : errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0 && ::ftruncate(fd, 0) == 0)
        ::fsync(fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? FileFailure::None : fileFailureOf(error);
}

} // namespace

FileFailure PosixFileWriter::replaceFile(const std::string& path, const std::string& contents)
{
    if (path.empty())
        return FileFailure::BadPath;
    FollowedPath target;
    if (const int error = followOwnLinks(path, target))
        return fileFailureOf(error);

    struct stat existing;
    const bool exists = ::lstat(target.path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return fileFailureOf(errno);
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.path.c_str(), W_OK) != 0))
        return FileFailure::AccessDenied; // a folder, a device or a read-only file
    // The mode of a file is kept only when it is the user's own.
    const bool own = exists && existing.st_uid == ::geteuid();
    const std::optional<mode_t> mode = own ? std::optional<mode_t>(existing.st_mode & 07777) : std::nullopt;

    const int error = replaceByRename(target.path, contents, 0666, mode);
    if (exists && (error == EACCES || error == EPERM))
        return rewriteInPlace(target.path, existing, contents);
    return error == 0 ? FileFailure::None : fileFailureOf(error);
}

} // namespace rm
