#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rm {

enum LinkOption : std::uint32_t {
    LinkUnderline = 0x01,
    LinkHoverColour = 0x02,
    LinkSizeToText = 0x04,
    LinkOpenOnPress = 0x08,
    LinkFocusOnClick = 0x10,
    LinkNoHandCursor = 0x20,
    LinkNoFocusColour = 0x40,
    LinkDefaultOptions = LinkUnderline | LinkSizeToText | LinkFocusOnClick,
};

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// What a hyperlink control knows and decides, without a window: its flags,
// its colour, when a click opens the target and what a failed open says.
class LinkLabelModel {
public:
    explicit LinkLabelModel(std::uint32_t options = LinkDefaultOptions) : options_(options) {}

    void setOptions(std::uint32_t options) { options_ = options; }
    bool has(LinkOption option) const { return (options_ & option) != 0; }

    bool clicked() const { return clicked_; }
    bool hovering() const { return hovering_; }
    bool visited() const { return visited_; }

    Rgb colour() const;

    void pointerEntered() { hovering_ = true; }
    void pointerLeft() { hovering_ = false; }
    void focusGained() { clicked_ = true; }
    void focusLost() { hovering_ = clicked_ = false; }
    // True when the target is to be opened now.
    bool buttonPressed();
    bool buttonReleased(bool overControl) const;

    // The shell's result of an open: above 32 marks the link visited; 32 or
    // less gives the text of the failure box.
    std::optional<std::string> opened(int shellResult);

private:
    std::uint32_t options_;
    bool clicked_ = false;
    bool hovering_ = false;
    bool visited_ = false;
};

// "Can't open link:\n\n" and the sentence for a failed shell result.
std::string linkOpenFailureText(int shellResult);

} // namespace rm
