#pragma once

#include "gui/kit/ControlLayout.h"

#include <map>
#include <optional>

namespace rm {

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

// The snapshot one layout pass works from.
struct DynamicLayoutInfo {
    Size current;
    Size initial;
    int dx = 0, dy = 0;
    int controlCount = 0;
};

// The registered controls of one resizable window, keyed by an opaque handle
// of the toolkit's control. The window's initial client size is also its minimum.
class DynamicLayout {
public:
    using Handle = const void*;

    void setUp(Size initialClient);
    Size minimumClientSize() const { return initial_; }

    // Registering a control again replaces its entry.
    void addControl(Handle control, const Rect& current, LayoutMode horizontal, LayoutMode vertical,
                    int minimumWidth = 0, int minimumHeight = 0);
    void clear();

    DynamicLayoutInfo info(Size current) const;
    bool hasGrown(Size current) const;
    // Where a registered control goes at that client size; nothing for others.
    std::optional<Rect> place(Handle control, const DynamicLayoutInfo& info) const;

private:
    std::map<Handle, ControlLayout> entries_;
    Size initial_;
};

} // namespace rm
