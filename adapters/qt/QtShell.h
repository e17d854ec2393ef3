#pragma once

#include "core/ports/Shell.h"

namespace rm {

// Opens links and files with the desktop's default handler.
class QtShell : public Shell {
public:
    int open(const std::string& target) override;
};

} // namespace rm
