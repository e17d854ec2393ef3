#pragma once

#include <string>

namespace rm {

// Opens a file or a link with the user's default handler. The result follows
// the shell's convention: above 32 is success, 32 or less names the failure
// (2 file not found, 31 no application associated, ...).
class Shell {
public:
    virtual ~Shell() = default;
    virtual int open(const std::string& target) = 0;
};

} // namespace rm
