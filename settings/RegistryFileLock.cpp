#include "settings/RegistryFileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {
namespace {

int openLockFile(const char* name)
{
    // Two tries: an existing file may vanish between the two opens.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
        fd = ::open(name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
    }
    return -1;
}

} // namespace

RegistryFileLock::RegistryFileLock(const std::filesystem::path& settingsFile, bool exclusive)
{
    const std::string name = settingsFile.string() + ".lock";
    int fd = openLockFile(name.c_str());
    if (fd < 0)
        return;
    struct stat st;
    int locked = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        while ((locked = ::flock(fd, exclusive ? LOCK_EX : LOCK_SH)) != 0 && errno == EINTR) {}
    if (locked == 0)
        fd_ = fd;
    else
        ::close(fd);
}

RegistryFileLock::~RegistryFileLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace rm
