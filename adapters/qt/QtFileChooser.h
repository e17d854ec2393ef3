#pragma once

#include "core/ports/FileChooser.h"

namespace rm {

// The save-as dialog over the active modal window.
class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
};

} // namespace rm
