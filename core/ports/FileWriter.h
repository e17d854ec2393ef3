#pragma once

#include <string>

namespace rm {

// Why a file could not be written, in the terms the user is told.
enum class FileFailure {
    None,
    Generic,
    NotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    SharingViolation,
    DiskFull,
    HardIo,
};

// Writes whole files.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Creates `path` or replaces its contents with `contents`, byte for byte.
    // On failure nothing that looks complete is left at `path`.
    virtual FileFailure replaceFile(const std::string& path, const std::string& contents) = 0;
};

} // namespace rm
