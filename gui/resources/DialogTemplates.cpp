#include "gui/resources/DialogTemplate.h"

#include <map>
#include <stdexcept>

namespace rm {
namespace {

using K = ControlKind;

DialogTemplate mainWindow()
{
    return {132, "Korvane Rostermill", 352, 403, "Tahoma", 8,
            SystemMenu | ResizableFrame | MinimizeBox | MaximizeBox,
            {
                {1060, K::GroupBox, "User/Group Selection", 5, 5, 340, 67},
                {1057, K::Static, "Domain:", 15, 20, 45, 8, AlignRight},
                {1001, K::Static, "DOMAIN", 65, 20, 195, 8},
                {1086, K::PushButton, "Search &Options...", 265, 17, 75, 14},
                {1055, K::RadioButton, "Local &User:", 10, 35, 53, 10, Hidden | GroupStart},
                {1056, K::RadioButton, "Local &Group:", 10, 46, 53, 10, Hidden},
                {1058, K::RadioButton, "The built-in a&dministrator account (any name)", 10, 57, 200, 10, Hidden},
                {1016, K::Static, "Local User:", 20, 40, 40, 8, AlignRight | GroupStart},
                {1003, K::Edit, "", 65, 37, 195, 14, AutoHScroll},
                {1000, K::PushButton, "Start &Search", 265, 37, 75, 14},
                {1012, K::GroupBox, "Computer Selection", 5, 77, 340, 188},
                {1002, K::ListView, "", 10, 87, 330, 153, Disabled | Bordered},
                {1095, K::PushButton, "Select &All", 10, 245, 45, 15, Disabled},
                {1015, K::Static, "Ctrl+click, shift+click, or drag for multiple selections", 60, 248, 166, 8},
                {3, K::PushButton, "&Export List...", 275, 245, 65, 14, Disabled},
                {1013, K::GroupBox, "Actions", 5, 270, 340, 110},
                {1080, K::CheckBox, "Change Password:", 10, 283, 75, 10, Disabled},
                {1006, K::Edit, "", 85, 280, 253, 14, Disabled | Password | AutoHScroll},
                {1019, K::Static, "Verify Password:", 12, 303, 72, 8, Disabled | AlignRight},
                {1008, K::Edit, "", 85, 300, 253, 14, Disabled | Password | AutoHScroll},
                {1079, K::CheckBox, "Change Username:", 10, 322, 75, 10, Disabled},
                {1005, K::Edit, "", 85, 320, 253, 14, Disabled | AutoHScroll},
                {1023, K::Static, "Enable/Disable:", 21, 342, 60, 8, Disabled | AlignRight},
                {1022, K::RadioButton, "Do not change enabled/disabled status", 86, 342, 141, 10,
                 Disabled | GroupStart},
                {1021, K::RadioButton, "Enable Account", 86, 352, 65, 10, Disabled},
                {1020, K::RadioButton, "Disable Account", 86, 362, 67, 10, Disabled},
                {1007, K::PushButton, "&Perform and Log Actions", 235, 360, 105, 14, Disabled | GroupStart},
                {1010, K::PushButton, "A&bout...", 5, 385, 50, 14},
                {1067, K::PushButton, "&Quit", 295, 385, 50, 14},
                {1125, K::CheckBox, "Generate a unique password for each machine", 62, 387, 170, 10, Disabled},
                {1126, K::PushButton, "&Configure...", 237, 385, 50, 14, Disabled},
                {1, K::DefPushButton, "", 60, 385, 55, 14, Hidden | Disabled},
            }};
}

DialogTemplate aboutBox()
{
    return {100, "Korvane Rostermill", 298, 231, "Tahoma", 8, 0,
            {
                {NoControlId, K::Picture, "", 0, 0, 298, 127, 0, 146},
                {NoControlId, K::Static, "Korvane Rostermill Version " ROSTERMILL_VERSION, 10, 136, 278, 8, AlignRight},
                {NoControlId, K::Static, "Web:", 10, 170, 30, 8, AlignRight},
                {1037, K::Static, "www.korvane.example", 45, 170, 150, 8},
                {NoControlId, K::Static, "Email:", 10, 184, 30, 8, AlignRight},
                {1038, K::Static, "rostermill@korvane.example", 45, 184, 150, 8},
                {1, K::DefPushButton, "OK", 240, 209, 50, 14},
            }};
}

DialogTemplate passwordOptions()
{
    return {158, "Random Password Options", 260, 299, "Tahoma", 8, SystemMenu,
            {
                {NoControlId, K::GroupBox, "Password generation options", 5, 5, 250, 143},
                {1100, K::RadioButton, "Generate Passwords", 15, 18, 120, 10, GroupStart},
                {1116, K::CheckBox, "Lowercase letters", 25, 31, 120, 10},
                {1117, K::CheckBox, "Uppercase letters", 25, 42, 120, 10},
                {1118, K::CheckBox, "Numerals", 25, 53, 120, 10},
                {1119, K::CheckBox, "Symbols/punctuation", 25, 64, 120, 10},
                {1120, K::CheckBox, "No similar characters (1, I, l, i, O, 0, etc.)", 25, 75, 200, 10},
                {1101, K::RadioButton, "Generate Passphrases", 15, 90, 120, 10},
                {1122, K::CheckBox, "Random capitalization", 25, 103, 120, 10},
                {1127, K::Static, "Dictionary file:", 25, 119, 52, 8},
                {1114, K::Edit, "", 78, 116, 120, 14, ReadOnly | AutoHScroll},
                {1113, K::PushButton, "&Browse...", 202, 116, 45, 14},
                {1115, K::Static, "0 words", 78, 133, 80, 8},
                {NoControlId, K::GroupBox, "Password Length", 5, 152, 250, 64},
                {1104, K::Edit, "", 15, 164, 35, 14, DigitsOnly},
                {1106, K::Static, "characters", 54, 167, 50, 8},
                {1102, K::Edit, "", 110, 164, 35, 14, DigitsOnly},
                {NoControlId, K::Static, "bits of entropy", 149, 167, 60, 8},
                {1128, K::Static, "", 15, 182, 235, 16},
                {NoControlId, K::Static,
                 "256 bits of entropy or more are recommended for the most secure passwords.", 15,
                 199, 235, 16},
                {NoControlId, K::GroupBox, "Record Keeping", 5, 220, 250, 56},
                {1099, K::CheckBox, "Save passwords in separate text file", 15, 231, 200, 10},
                {1098, K::CheckBox, "Save passwords in the regular log file", 15, 243, 200, 10},
                {1130, K::Static, "Recipients:", 15, 259, 40, 8},
                {1129, K::Edit, "", 57, 256, 190, 14, AutoHScroll},
                {1, K::DefPushButton, "OK", 150, 281, 50, 14},
                {2, K::PushButton, "Cancel", 205, 281, 50, 14},
            }};
}

DialogTemplate searchOptions()
{
    return {152, "Rostermill Search Options", 297, 203, "Tahoma", 8, SystemMenu,
            {
                {NoControlId, K::GroupBox, "Search Criteria", 5, 5, 285, 65},
                {NoControlId, K::Static, "Domain to scan:", 15, 19, 52, 8},
                {1001, K::Edit, "", 72, 16, 208, 14, AutoHScroll},
                {1097, K::ComboBox, "", 72, 17, 205, 125, Hidden | Sorted},
                {336, K::RadioButton, "Include all computers", 15, 38, 83, 10, GroupStart},
                {337, K::RadioButton, "Include servers only", 15, 50, 81, 10},
                {NoControlId, K::GroupBox, "Search Method", 5, 75, 285, 80},
                {2131, K::RadioButton, "Domain Controller's Master Browser List (NetBIOS)", 15, 90, 177, 10,
                 GroupStart},
                {2132, K::RadioButton, "LDAP (Active Directory)", 15, 105, 91, 10},
                {1089, K::CheckBox, "Restrict to one organizational unit:", 30, 120, 123, 10},
                {1091, K::Edit, "", 155, 117, 125, 14, AutoHScroll},
                {1046, K::CheckBox, "Also include computers hidden from the browser list", 15, 135, 180, 10},
                {NoControlId, K::GroupBox, "Offline Computer Detection", 5, 160, 225, 35},
                {1059, K::CheckBox, "Skip computers that ignore pings", 15, 175, 120, 10},
                {1, K::DefPushButton, "&OK", 240, 163, 50, 14},
                {2, K::PushButton, "&Cancel", 240, 180, 50, 14},
            }};
}

DialogTemplate domainScan()
{
    return {156, "Working . . .", 307, 122, "Tahoma", 8, 0,
            {
                {NoControlId, K::GroupBox, "Progress", 5, 5, 295, 90},
                {NoControlId, K::Static, "Please wait while the master list of machines is retrieved.", 15, 25, 275, 8,
                 AlignCenter},
                {1050, K::ProgressBar, "", 15, 45, 275, 15, Bordered},
                {NoControlId, K::Static, "This may take a few minutes on a large network.", 15, 70, 275, 8, AlignCenter},
                {NoControlId, K::Frame, "", 5, 98, 235, 20},
                {1034, K::Static, "", 10, 105, 225, 8},
                {1051, K::PushButton, "Cancel", 251, 102, 50, 14},
            }};
}

DialogTemplate pingScan()
{
    return {133, "Rostermill Operation Status", 307, 122, "Tahoma", 8, 0,
            {
                {NoControlId, K::GroupBox, "Progress", 5, 5, 295, 90},
                {NoControlId, K::Static,
                 "Please wait while all machines on your network are pinged to see which are up.", 12, 19, 253, 8},
                {NoControlId, K::Static, "Pings Sent:", 95, 40, 45, 8, AlignRight},
                {1048, K::Static, "0", 150, 40, 65, 10, AlignCenter},
                {NoControlId, K::Static, "Received:", 95, 55, 45, 8, AlignRight},
                {1047, K::Static, "0", 150, 55, 65, 10, AlignCenter},
                {NoControlId, K::Static, "Elapsed Time:", 95, 71, 45, 8, AlignRight},
                {1049, K::Static, "---", 150, 70, 65, 10, AlignCenter},
                // The thin lines that rule the three rows into a table.
                {NoControlId, K::Frame, "", 95, 35, 125, 1},
                {NoControlId, K::Frame, "", 95, 51, 125, 1},
                {NoControlId, K::Frame, "", 95, 66, 125, 1},
                {NoControlId, K::Frame, "", 95, 81, 125, 1},
                {NoControlId, K::Frame, "", 145, 36, 1, 45},
                {NoControlId, K::Frame, "", 5, 98, 235, 20},
                {1034, K::Static, "Initializing ...", 10, 105, 225, 8},
                {2, K::PushButton, "Cancel", 251, 102, 50, 14},
            }};
}

DialogTemplate searchProgress()
{
    return {134, "Working . . .", 307, 122, "Tahoma", 8, 0,
            {
                {1033, K::GroupBox, "Progress", 5, 5, 295, 90},
                {NoControlId, K::Static, "Please wait while all machines are searched.", 12, 19, 142, 8},
                {1050, K::ProgressBar, "", 15, 45, 275, 15, Smooth | Bordered},
                {NoControlId, K::Static, "Elapsed Time:", 65, 65, 90, 8, AlignRight},
                {1052, K::Static, "", 160, 65, 125, 8},
                {NoControlId, K::Static, "Estimated Time Remaining:", 65, 80, 90, 8, AlignRight},
                {1053, K::Static, "", 160, 80, 125, 8},
                {NoControlId, K::GroupBox, "", 5, 98, 235, 20},
                {1034, K::Static, "", 10, 105, 225, 8},
                {1051, K::PushButton, "Cancel", 251, 102, 50, 14},
            }};
}

DialogTemplate searchResults()
{
    return {145, "Computers Found - Results", 307, 170, "Tahoma", 8, SystemMenu,
            {
                {NoControlId, K::Static, "Search complete.", 5, 10, 295, 8, AlignCenter},
                {NoControlId, K::GroupBox, "Computers Found", 5, 25, 295, 35},
                {NoControlId, K::Static, "Total Computers Found:", 10, 41, 100, 10, AlignRight},
                {1071, K::Static, "0", 115, 41, 100, 10},
                {1069, K::PushButton, "Export List...", 242, 38, 50, 14},
                {NoControlId, K::GroupBox, "Computers Eliminated", 5, 65, 295, 35},
                {NoControlId, K::Static, "Offline:", 10, 75, 100, 10, AlignRight},
                {1072, K::Static, "0", 115, 75, 100, 10},
                {1074, K::Static, "User doesn't exist:", 10, 86, 100, 10, AlignRight},
                {1073, K::Static, "0", 115, 86, 100, 10},
                {1068, K::PushButton, "Export List...", 242, 78, 50, 14},
                {NoControlId, K::GroupBox, "Computers Matched", 5, 105, 295, 35},
                {NoControlId, K::Static, "Computers Matched:", 10, 121, 100, 10, AlignRight},
                {1053, K::Static, "0", 115, 121, 100, 10},
                {1070, K::PushButton, "Export List...", 242, 118, 50, 14},
                {1, K::DefPushButton, "Continue", 131, 150, 50, 14},
            }};
}

DialogTemplate operationStatus()
{
    return {131, "Rostermill Operation Status", 270, 118, "Tahoma", 8, 0,
            {
                {1033, K::GroupBox, "Progress", 5, 5, 260, 80},
                {NoControlId, K::Static, "Rename User:", 65, 20, 65, 8},
                {NoControlId, K::Static, "Change Password:", 135, 20, 65, 8},
                {NoControlId, K::Static, "Enable/Disable:", 205, 20, 55, 8},
                {NoControlId, K::Static, "Succeeded:", 10, 36, 50, 8, AlignRight},
                {1024, K::Static, "0", 65, 36, 65, 8},
                {1025, K::Static, "0", 135, 36, 65, 8},
                {1031, K::Static, "0", 205, 36, 55, 8},
                {NoControlId, K::Static, "Failed:", 10, 50, 50, 8, AlignRight},
                {1026, K::Static, "0", 65, 50, 65, 8},
                {1032, K::Static, "0", 135, 50, 65, 8},
                {1030, K::Static, "0", 205, 50, 55, 8},
                {NoControlId, K::Static, "Total:", 10, 64, 50, 8, AlignRight},
                {1027, K::Static, "0", 65, 64, 65, 8},
                {1028, K::Static, "0", 135, 64, 65, 8},
                {1029, K::Static, "0", 205, 64, 55, 8},
                {NoControlId, K::Frame, "", 5, 92, 145, 20},
                {1034, K::Static, "Working ...", 10, 98, 135, 8},
                {1, K::DefPushButton, "&View Log", 160, 95, 50, 14, Disabled},
                {2, K::PushButton, "Cancel", 215, 95, 50, 14},
            }};
}

const std::map<int, DialogTemplate>& templates()
{
    static const std::map<int, DialogTemplate> all = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {mainWindow(), aboutBox(), passwordOptions(), searchOptions(), domainScan(), pingScan(),
                                 searchProgress(), searchResults(), operationStatus()})
            m.emplace(t.id, std::move(t));
        return m;
    }();
    return all;
}

} // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const
{
    for (const ControlTemplate& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

const DialogTemplate& dialogTemplate(int id)
{
    return templates().at(id);
}

} // namespace rm
