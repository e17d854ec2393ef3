#pragma once

#include "core/ports/Shell.h"

#include <string>

namespace rm {

// A console opens no browser: the file a report would open is remembered,
// for the program to print its path.
class LogPathShell : public Shell {
public:
    int open(const std::string& target) override
    {
        opened_ = target;
        return 33; // success by the shell's convention
    }
    const std::string& opened() const { return opened_; }

private:
    std::string opened_;
};

} // namespace rm
