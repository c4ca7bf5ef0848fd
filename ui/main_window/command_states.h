#pragma once

#include "ui/main_window/counter_slot.h"

#include <optional>

namespace nivra::ui {

// Which File and Assay Run commands the active slot's state allows, and what the state does to
// the screen-updates button and the range slider. Plain rules, applied to the widgets by the main
// window.

struct CommandStates {
    bool fileNew = false;
    bool fileOpen = false;
    bool fileSave = false; // Save, Save ROI, Save CSV and Save ROI CSV together
    bool runStart = false;
    bool runStop = false;
    bool operator==(const CommandStates&) const = default;
};

// The command enabling of a slot state; viewerHasData tells whether the viewer slot holds a
// record (the viewer may save only then). Nothing for a value that is no state.
std::optional<CommandStates> commandStatesFor(CounterState state, bool viewerHasData);

// What the status display does to the controls that follow the state.
struct StatusControls {
    enum class Slider { Unchanged, Enabled, Disabled };
    bool screenUpdatesButton = false; // button "Disable/Enable Screen Updates"
    Slider slider = Slider::Unchanged;
    bool operator==(const StatusControls&) const = default;
};

// Nothing for a value that is no state: then none of the controls changes. hasPoints tells
// whether the slot's record exists and holds at least one point.
std::optional<StatusControls> statusControlsFor(CounterState state, bool hasPoints);

} // namespace nivra::ui
