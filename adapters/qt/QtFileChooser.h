#pragma once

#include "core/ports/FileChooser.h"

namespace rm {

// The save-as and open dialogs over the active modal window.
class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> chooseOpenFile(const OpenFileRequest& request) override;
};

} // namespace rm
