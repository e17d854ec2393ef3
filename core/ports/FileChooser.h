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

struct OpenFileRequest {
    std::string initialName; // selected when it exists; may carry a folder
    std::string filterLabel;
    std::string filterPattern;
};

// The system's save-as and open dialogs, owned by the active window.
// Choosing an existing file to save is not questioned: the caller replaces it.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) = 0;
    // An existing file's full path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseOpenFile(const OpenFileRequest& request) = 0;
};

} // namespace rm
