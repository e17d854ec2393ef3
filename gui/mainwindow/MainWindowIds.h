#pragma once

namespace rm {

// The template of the main window.
enum MainWindowTemplate { IddMainWindow = 132 };

// Controls of the main window's template.
enum MainWindowId {
    IdExportList = 3,
    IdStartSearch = 1000,
    IdDomain = 1001,
    IdComputerList = 1002,
    IdAccountName = 1003,
    IdNewUserName = 1005,
    IdPassword = 1006,
    IdPerform = 1007,
    IdVerifyPassword = 1008,
    IdAbout = 1010,
    IdComputerFrame = 1012,
    IdActionsFrame = 1013,
    IdSelectionHint = 1015,
    IdLocalUserLabel = 1016,
    IdVerifyLabel = 1019,
    IdDisableAccount = 1020,
    IdEnableAccount = 1021,
    IdKeepEnabledState = 1022,
    IdEnableLabel = 1023,
    IdUserMode = 1055,
    IdGroupMode = 1056,
    IdDomainLabel = 1057,
    IdBuiltinAdminMode = 1058,
    IdAccountFrame = 1060,
    IdQuit = 1067,
    IdChangeUsername = 1079,
    IdChangePassword = 1080,
    IdSearchOptions = 1086,
    IdSelectAll = 1095,
    IdGenerateUnique = 1125,
    IdConfigure = 1126,
};

} // namespace rm
