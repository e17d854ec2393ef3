#pragma once

#include <string>
#include <vector>

namespace rm {

// The enabled-state radio group of the actions.
enum class EnabledChoice { Keep, Enable, Disable };

// What the user asked for in the actions, texts exactly as typed.
struct ActionRequest {
    bool renameRequested = false;
    std::string newUserName;
    bool passwordRequested = false;
    std::string password;
    std::string verification;
    EnabledChoice enabledChoice = EnabledChoice::Keep;
    bool groupMode = false;
};

// One selected row of the computer list, as the operations need it.
struct SelectedRow {
    int rowIndex = 0;
    std::string computerName;
    std::string userName;
    std::string enabledText;
    std::string groupsText;
};

} // namespace rm
