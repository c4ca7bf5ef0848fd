#pragma once

#include "ui/resources/control_stretch.h"

namespace nivra::res {
struct ControlTemplate;
} // namespace nivra::res

namespace nivra::ui {

// How the main window's controls use the room of a window larger than its layout. The chart
// takes the extra width and height; the View Control row under it moves down, its slider
// widening with the chart; the panel on the right moves right, its statistics, dump and
// header-line lists sharing the extra height; the buttons and edits stay beside their lists.
// Decided by where a control sits in the layout (dialog units), so the layout's rows stay as
// they are.
nivra::res::ControlStretch mainWindowStretch(const nivra::res::ControlTemplate& control);

} // namespace nivra::ui
