#pragma once

#include "gui/kit/Rect.h"

#include <cstdint>
#include <tuple>
#include <utility>

namespace rm {

// How an edge pair follows the window's growth in one direction.
enum class LayoutMode { Fixed, Stretch, Move, Half };

// The shares (first edge, second edge) of a mode, in percent.
std::pair<std::int8_t, std::int8_t> layoutShares(LayoutMode mode);

// One registered control: where it was, and how much of the growth each edge follows.
struct ControlLayout {
    Rect initial;
    std::int8_t leftShare = 0, topShare = 0, rightShare = 0, bottomShare = 0;
    int minimumWidth = 0, minimumHeight = 0;

    static ControlLayout registered(const Rect& initial, LayoutMode horizontal, LayoutMode vertical,
                                    int minimumWidth = 0, int minimumHeight = 0);
};

// Where the control goes when the client area has grown by dx, dy. At or below
// its minimum size a control is parked out of sight, left of or above the window.
Rect placeControl(const ControlLayout& layout, int dx, int dy);

} // namespace rm
