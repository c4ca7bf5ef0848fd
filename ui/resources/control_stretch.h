#pragma once

#include <QRect>

namespace nivra::res {

// How a control follows a window made larger than its template: the fractions of the extra
// width and height by which it moves right and down and by which it grows. All zero: it keeps
// its place and size.
struct ControlStretch {
    double moveX = 0.0;
    double growWidth = 0.0;
    double moveY = 0.0;
    double growHeight = 0.0;
    bool operator==(const ControlStretch&) const = default;
};

// The control's rectangle `base` (at the template's size) in a window `extraWidth` and
// `extraHeight` pixels larger. Extra sizes below 0 count as 0: a window is never smaller than
// its template.
QRect stretchedRect(const QRect& base, const ControlStretch& stretch, int extraWidth,
                    int extraHeight);

} // namespace nivra::res
