#include "gui/kit/DialogUnits.h"

#include <cstdint>

namespace rm {

int mulDiv(int a, int b, int c)
{
    std::int64_t p = std::int64_t(a) * b;
    std::int64_t half = (c < 0 ? -c : c) / 2;
    bool negative = (p < 0) != (c < 0);
    std::int64_t q = ((p < 0 ? -p : p) + half) / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -q : q);
}

DialogUnits::DialogUnits(int lettersWidth, int fontHeight)
    : baseX_((lettersWidth / 26 + 1) / 2), baseY_(fontHeight)
{
}

int DialogUnits::toPixelsX(int du) const
{
    return mulDiv(du, baseX_, 4);
}

int DialogUnits::toPixelsY(int du) const
{
    return mulDiv(du, baseY_, 8);
}

Rect DialogUnits::toPixels(int x, int y, int width, int height) const
{
    int left = toPixelsX(x);
    int top = toPixelsY(y);
    return {left, top, left + toPixelsX(width), top + toPixelsY(height)};
}

} // namespace rm
