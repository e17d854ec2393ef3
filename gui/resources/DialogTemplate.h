#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

enum class ControlKind {
    GroupBox,
    Static,
    Picture,
    PushButton,
    DefPushButton,
    RadioButton,
    CheckBox,
    Edit,
    ListView,
    ProgressBar,
    ComboBox,
    Frame,
};

// Control styles; a control is visible and enabled unless told otherwise.
enum ControlStyle : std::uint32_t {
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    AlignRight = 1u << 2,
    AlignCenter = 1u << 3,
    Password = 1u << 4,
    AutoHScroll = 1u << 5,
    ReadOnly = 1u << 6,
    DigitsOnly = 1u << 7,
    GroupStart = 1u << 8, // first control of a new radio group
    Bordered = 1u << 9,
    CenterImage = 1u << 10,
    Smooth = 1u << 11,
    Sorted = 1u << 12,
};

enum DialogStyle : std::uint32_t {
    SystemMenu = 1u << 0,
    ResizableFrame = 1u << 1,
    MinimizeBox = 1u << 2,
    MaximizeBox = 1u << 3,
};

// Positions and sizes are dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string caption;
    int x, y, width, height;
    std::uint32_t style = 0;
    int resource = 0; // the bitmap of a picture
};

struct DialogTemplate {
    int id;
    std::string title;
    int width, height;
    std::string fontFamily;
    int fontPointSize;
    std::uint32_t style;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* control(int controlId) const;
};

// Controls without an identifier of their own.
constexpr int NoControlId = -1;

// The template with that number; throws std::out_of_range for an unknown one.
const DialogTemplate& dialogTemplate(int id);

} // namespace rm
