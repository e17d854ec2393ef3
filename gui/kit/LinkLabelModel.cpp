#include "gui/kit/LinkLabelModel.h"

#include <cstdio>

namespace rm {

Rgb LinkLabelModel::colour() const
{
    if (hovering_ && has(LinkHoverColour))
        return {255, 0, 0};
    if (clicked_ && !has(LinkNoFocusColour))
        return {0, 128, 128};
    if (visited_)
        return {128, 0, 128};
    return {0, 0, 255};
}

bool LinkLabelModel::buttonPressed()
{
    clicked_ = true;
    return has(LinkOpenOnPress);
}

bool LinkLabelModel::buttonReleased(bool overControl) const
{
    return clicked_ && !has(LinkOpenOnPress) && overControl;
}

std::optional<std::string> LinkLabelModel::opened(int shellResult)
{
    if (shellResult > 32) {
        visited_ = true;
        return std::nullopt;
    }
    return linkOpenFailureText(shellResult);
}

std::string linkOpenFailureText(int shellResult)
{
    const char* text = nullptr;
    switch (shellResult) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case 2: text = "The specified file was not found."; break;
    case 3: text = "The specified path was not found."; break;
    case 5: text = "The operating system denied\naccess to the specified file."; break;
    case 8: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: text = "A sharing violation occurred. "; break;
    case 27: text = "The filename association is\nincomplete or invalid."; break;
    case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: text = "The DDE transaction failed."; break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\n"
               "were being processed.";
        break;
    case 31: text = "There is no application associated\nwith the given filename extension."; break;
    case 32: text = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    std::string entry;
    if (text) {
        entry = text;
    } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Unknown Error (%d) occurred.", shellResult);
        entry = buf;
    }
    return "Can't open link:\n\n" + entry;
}

} // namespace rm
