#pragma once

#include "gui/kit/Rect.h"

namespace rm {

// Dialog units to pixels from the dialog font's metrics: the horizontal base
// is half of one more than the mean width of the 52 Latin letters, the
// vertical base the font height; x = x_du * base_x / 4, y = y_du * base_y / 8,
// rounded as the platform does.
class DialogUnits {
public:
    DialogUnits(int lettersWidth, int fontHeight);

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }
    int toPixelsX(int du) const;
    int toPixelsY(int du) const;
    // From x, y, width, height in dialog units.
    Rect toPixels(int x, int y, int width, int height) const;

private:
    int baseX_;
    int baseY_;
};

// a * b / c rounded half away from zero, without intermediate overflow.
int mulDiv(int a, int b, int c);

} // namespace rm
