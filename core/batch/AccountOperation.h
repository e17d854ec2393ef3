#pragma once

#include <ctime>
#include <string>

namespace rm {

// One selected row, the changes asked for it and what became of them.
struct AccountOperation {
    std::time_t time = 0;
    std::string computerName;
    int rowIndex = 0;
    std::string userName;
    std::string newUserName;
    bool enable = false;
    std::string password;
    std::string enabledText;
    std::string groupsText;
    bool renameRequested = false;
    bool passwordRequested = false;
    bool enableRequested = false;
    bool renameSucceeded = false;
    bool passwordSucceeded = false;
    bool enableSucceeded = false;
    std::string renameError;
    std::string passwordError;
    std::string enableError;
    bool processed = false;
};

} // namespace rm
