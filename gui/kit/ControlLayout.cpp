#include "gui/kit/ControlLayout.h"

namespace rm {

std::pair<std::int8_t, std::int8_t> layoutShares(LayoutMode mode)
{
    switch (mode) {
    case LayoutMode::Stretch:
        return {0, 100};
    case LayoutMode::Move:
        return {100, 100};
    case LayoutMode::Half:
        return {50, 50};
    case LayoutMode::Fixed:
        break;
    }
    return {0, 0};
}

ControlLayout ControlLayout::registered(const Rect& initial, LayoutMode horizontal,
                                        LayoutMode vertical, int minimumWidth, int minimumHeight)
{
    ControlLayout c;
    c.initial = initial;
    std::tie(c.leftShare, c.rightShare) = layoutShares(horizontal);
    std::tie(c.topShare, c.bottomShare) = layoutShares(vertical);
    c.minimumWidth = minimumWidth;
    c.minimumHeight = minimumHeight;
    return c;
}

Rect placeControl(const ControlLayout& c, int dx, int dy)
{
    // Integer division truncates toward zero, also for a shrinking window.
    Rect r{c.initial.left + c.leftShare * dx / 100, c.initial.top + c.topShare * dy / 100,
           c.initial.right + c.rightShare * dx / 100, c.initial.bottom + c.bottomShare * dy / 100};
    if (r.left + c.minimumWidth >= r.right) {
        r.right = -10;
        r.left = -c.minimumWidth - 10;
    }
    if (r.top + c.minimumHeight >= r.bottom) {
        r.bottom = -10;
        r.top = -c.minimumHeight - 10;
    }
    return r;
}

} // namespace rm
