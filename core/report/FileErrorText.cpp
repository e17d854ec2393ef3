#include "core/report/FileErrorText.h"

namespace rm {

std::string fileErrorText(FileFailure failure, const std::string& path)
{
    switch (failure) {
    case FileFailure::None: return "No error occurred.";
    case FileFailure::NotFound: return path + " was not found.";
    case FileFailure::BadPath: return path + " contains an invalid path.";
    case FileFailure::TooManyOpenFiles: return path + " could not be opened because there are too many open files.";
    case FileFailure::AccessDenied: return "Access to " + path + " was denied.";
    case FileFailure::SharingViolation: return "A sharing violation occurred while accessing " + path + ".";
    case FileFailure::DiskFull: return "Disk full while accessing " + path + ".";
    case FileFailure::HardIo: return "A hardware I/O error was reported while accessing " + path + ".";
    case FileFailure::Generic: break;
    }
    return "An unexpected error occurred while accessing " + path + ".";
}

} // namespace rm
