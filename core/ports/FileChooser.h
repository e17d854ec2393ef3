#pragma once

#include <optional>
#include <string>

namespace rm {

struct SaveFileRequest {
    std::string initialName;      // shown in the name field; may carry a folder
    std::string defaultExtension; // without the dot, added to a name typed without one
    std::string filterLabel;      // the one entry of the file-type list
    std::string filterPattern;
};

// The system's save-as dialog, owned by the active window. Choosing an
// existing file is not questioned: the caller replaces it.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) = 0;
};

} // namespace rm
