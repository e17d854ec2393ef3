#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace rm {

// Reads whole files.
class FileReader {
public:
    virtual ~FileReader() = default;
    // The contents of the regular file `path`; nothing when it is missing,
    // unreadable, not a regular file or longer than `limit` bytes.
    virtual std::optional<std::string> readFile(const std::string& path, std::size_t limit) = 0;
};

} // namespace rm
