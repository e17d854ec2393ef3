#pragma once

#include "core/ports/FileChooser.h"

namespace rm {

// Reports of a console program go to the folder they are given; no save
// dialog is ever answered.
class NoFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest&) override { return std::nullopt; }
};

} // namespace rm
