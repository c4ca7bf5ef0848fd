#include "ui/resources/control_stretch.h"

#include <algorithm>
#include <cmath>

namespace nivra::res {

QRect stretchedRect(const QRect& base, const ControlStretch& stretch, int extraWidth,
                    int extraHeight) {
    const double dw = std::max(extraWidth, 0);
    const double dh = std::max(extraHeight, 0);
    // Edges are rounded, not sizes, so that neighbours sharing a fraction keep their gaps.
    const auto edge = [](double from, double share) {
        return static_cast<int>(std::lround(from + share));
    };
    const int left = edge(base.left(), stretch.moveX * dw);
    const int top = edge(base.top(), stretch.moveY * dh);
    const int right = edge(base.left() + base.width(), (stretch.moveX + stretch.growWidth) * dw);
    const int bottom = edge(base.top() + base.height(), (stretch.moveY + stretch.growHeight) * dh);
    return {left, top, right - left, bottom - top};
}

} // namespace nivra::res
