#pragma once

#include <filesystem>

namespace rm {

// An advisory lock on "<settings file>.lock". The settings file is replaced by
// rename, so it cannot carry the lock itself. The lock file's name has to be
// known to every running copy; it is therefore created only with O_EXCL and
// opened only with O_NOFOLLOW, and anything but a regular file there (a
// planted symlink, a FIFO) gives no lock rather than being followed.
class RegistryFileLock {
public:
    RegistryFileLock(const std::filesystem::path& settingsFile, bool exclusive);
    ~RegistryFileLock();
    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace rm
