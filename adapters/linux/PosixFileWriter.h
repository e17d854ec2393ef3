#pragma once

#include "core/ports/FileWriter.h"

namespace rm {

// What the user is told of a failed file call's errno.
FileFailure fileFailureOf(int error);

// Writes a new file beside the target, syncs it and renames it into place,
// so a write that fails half-way leaves the target as it was. A target that
// is a link is written where the link leads, if followOwnLinks allows it;
// a link it refuses gives AccessDenied. A replaced file of the user's own
// keeps its mode; another's gets the mode of a new file. Where the folder
// takes no new file but the user's own file there is writable, the file is
// rewritten in place and emptied again if that fails.
class PosixFileWriter : public FileWriter {
public:
    FileFailure replaceFile(const std::string& path, const std::string& contents) override;
};

} // namespace rm
