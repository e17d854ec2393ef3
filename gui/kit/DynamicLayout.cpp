#include "gui/kit/DynamicLayout.h"

namespace rm {

void DynamicLayout::setUp(Size initialClient)
{
    initial_ = initialClient;
}

void DynamicLayout::addControl(Handle control, const Rect& current, LayoutMode horizontal,
                               LayoutMode vertical, int minimumWidth, int minimumHeight)
{
    if (!control)
        return;
    entries_[control]
        = ControlLayout::registered(current, horizontal, vertical, minimumWidth, minimumHeight);
}

void DynamicLayout::clear()
{
    entries_.clear();
}

DynamicLayoutInfo DynamicLayout::info(Size current) const
{
    return {current, initial_, current.width - initial_.width, current.height - initial_.height,
            static_cast<int>(entries_.size())};
}

bool DynamicLayout::hasGrown(Size current) const
{
    return current.width != initial_.width || current.height != initial_.height;
}

std::optional<Rect> DynamicLayout::place(Handle control, const DynamicLayoutInfo& info) const
{
    auto it = entries_.find(control);
    if (it == entries_.end())
        return std::nullopt;
    return placeControl(it->second, info.dx, info.dy);
}

} // namespace rm
