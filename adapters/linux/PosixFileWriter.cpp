#include "adapters/linux/PosixFileWriter.h"
#include "settings/WriteFully.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

FileFailure failureOf(int error)
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

// Writes everything and syncs it; the errno of the first failure, or 0.
int writeAndSync(int fd, const std::string& s)
{
    if (const int error = writeFully(fd, s))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

std::string randomSuffix()
{
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, 35);
    std::string out;
    for (int i = 0; i < 10; ++i)
        out += digits[pick(random)];
    return out;
}

// A new file of an unused name beside `target`, created with the mode the
// process gives new files (or `mode` once written); -1 with errno set.
int createBeside(const std::filesystem::path& target, std::string& name)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = target.string() + ".tmp-" + randomSuffix();
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

FileFailure rewriteInPlace(const std::filesystem::path& target, const std::string& contents)
{
    int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return failureOf(errno);
    int error = writeAndSync(fd, contents);
    if (error != 0 && ::ftruncate(fd, 0) == 0)
        ::fsync(fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? FileFailure::None : failureOf(error);
}

} // namespace

FileFailure PosixFileWriter::replaceFile(const std::string& path, const std::string& contents)
{
    if (path.empty())
        return FileFailure::BadPath;
    std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        target = std::filesystem::weakly_canonical(target, ec);
        if (ec)
            return failureOf(ec.value());
    }

    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return failureOf(errno);
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return FileFailure::AccessDenied; // a folder, a device or a read-only file

    std::string temp;
    int fd = createBeside(target, temp);
    if (fd < 0) {
        const int error = errno;
        return exists && (error == EACCES || error == EPERM) ? rewriteInPlace(target, contents)
                                                             : failureOf(error);
    }
    int error = exists && ::fchmod(fd, existing.st_mode & 07777) != 0 ? errno : 0;
    if (error == 0)
        error = writeAndSync(fd, contents);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return failureOf(error);
    }
    const std::filesystem::path folder = target.parent_path();
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return FileFailure::None;
}

} // namespace rm
