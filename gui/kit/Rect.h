#pragma once

namespace rm {

// A rectangle as the layout arithmetic sees it: left, top, right, bottom.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

} // namespace rm
