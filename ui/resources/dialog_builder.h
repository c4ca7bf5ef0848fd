#pragma once

#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"

#include <vector>

class QWidget;

// Turns dialog templates into widgets. Each control becomes the widget of its kind, placed at
// its position converted from dialog units. Edits and list
// boxes with the static-edge style become the black-framed EditWithBorder and
// ListBoxWithBorder; the range slider and the chart are our own controls. Group boxes lie
// beneath every other control and let the mouse through, as they only frame their neighbours.
namespace nivra::res {

struct BuiltControl {
    const ControlTemplate* source;
    QWidget* widget;
};

// Creates the controls of dialog, in template (tab) order, as children of parent.
std::vector<BuiltControl> buildControls(const DialogTemplate& dialog, QWidget* parent,
                                        const DialogBaseUnits& units);

// One control, not yet placed.
QWidget* createControl(const ControlTemplate& control, QWidget* parent);

} // namespace nivra::res
