#include "ui/main_window/main_window_layout.h"

#include "ui/resources/dialog_template.h"

namespace nivra::ui {

namespace {

using nivra::res::ControlKind;
using nivra::res::ControlStretch;

// Borders of the layout's regions, in dialog units.
constexpr int kPanelLeft = 458;      // the panel right of the chart
constexpr int kDumpColumnLeft = 560; // the dump lists' column inside the panel
constexpr int kPanelTop = 25;        // below the counts labels, which move with the panel
constexpr int kHeaderListTop = 285;  // the header lines under the two columns
constexpr int kHeaderEditTop = 366;  // the header edit and its buttons
constexpr int kViewControlTop = 344; // the View Control row under the chart
constexpr int kSliderRight = 316;    // the step buttons, Set ROI and the ROI edits beyond it

// The panel's upper part: the statistics column and the dump column share the extra height
// with the header-line list beneath them, half each.
constexpr double kUpperShare = 0.5;

ControlStretch panelStretch(const nivra::res::ControlTemplate& c) {
    if (c.y < kPanelTop)
        return {1, 0, 0, 0};
    if (c.y >= kHeaderEditTop)
        return {1, 0, 1, 0};
    if (c.y >= kHeaderListTop)
        return {1, 0, kUpperShare, 1 - kUpperShare};
    // The statistics group with its two lists, and the dump lists, grow; whatever sits under
    // them in their column moves down by what they grew.
    constexpr int kTall = 100;
    const bool tallList = c.kind == ControlKind::ListBox && c.height > kTall;
    const bool statisticsGroup =
        c.kind == ControlKind::GroupBox && c.x < kDumpColumnLeft && c.height > kTall;
    if (tallList || statisticsGroup)
        return {1, 0, 0, kUpperShare};
    return {1, 0, kUpperShare, 0};
}

ControlStretch viewControlStretch(const nivra::res::ControlTemplate& c) {
    if (c.kind == ControlKind::GroupBox || c.kind == ControlKind::RangeSlider)
        return {0, 1, 1, 0};
    if (c.x >= kSliderRight)
        return {1, 0, 1, 0};
    return {0, 0, 1, 0};
}

} // namespace

ControlStretch mainWindowStretch(const nivra::res::ControlTemplate& c) {
    if (c.kind == ControlKind::Chart)
        return {0, 1, 0, 1};
    if (c.x >= kPanelLeft)
        return panelStretch(c);
    if (c.y >= kViewControlTop)
        return viewControlStretch(c);
    // The top rows left of the panel: the active counter, status, progress, times, file name.
    return {};
}

} // namespace nivra::ui
