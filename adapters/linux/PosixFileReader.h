#pragma once

#include "core/ports/FileReader.h"

namespace rm {

// Follows links, as a file the user names may be one, and opens without
// blocking so a named pipe is refused rather than waited on.
class PosixFileReader : public FileReader {
public:
    std::optional<std::string> readFile(const std::string& path, std::size_t limit) override;
};

} // namespace rm
