#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace rm {

// The settings file in the file system, for one read or one read-and-replace.
// A symlink in its place is resolved when this is made, step by step, and the
// file it leads to is read and replaced, so the user's link stays a link;
// links are followed only as followOwnLinks allows (else nothing is read or
// replaced), and through a link only a regular file of the user's own,
// within the size cap, is ever touched. Nothing is opened in a way that could block or follow a
// link planted later, and no more than MaxSize bytes are read.
class RegistryFileDisk {
public:
    static constexpr std::size_t MaxSize = 1024 * 1024;

    enum class Kind {
        Absent,     // nothing there yet
        Text,       // a regular file, read whole
        Foreign,    // no settings file (not a regular file, or too large): set aside before a write
        Unreadable, // left as it is: never set aside, never replaced
    };
    struct Contents {
        Kind kind = Kind::Unreadable;
        std::string text;
    };

    explicit RegistryFileDisk(const std::filesystem::path& file);

    Contents read() const;
    // Moves what is in place to the first free "<name>.damaged" or
    // "<name>.damaged-N"; an existing name is never replaced.
    bool setAside() const;
    // A new file of an unpredictable name, written and synced, renamed into
    // place; then the folder is synced.
    bool replace(const std::string& contents) const;

private:
    std::optional<std::filesystem::path> target_;
    bool linked_ = false;
};

} // namespace rm
