#include "ui/main_window/command_states.h"

namespace nivra::ui {

std::optional<CommandStates> commandStatesFor(CounterState state, bool viewerHasData) {
    CommandStates c;
    switch (state) {
    case VIEWER:
        c.fileOpen = true;
        c.fileSave = viewerHasData;
        return c;
    case DEMO:
        c.fileNew = true;
        return c;
    case NEW:
        c.runStart = true;
        return c;
    case RUNNING:
        c.runStop = true;
        return c;
    case STOPPED:
        c.fileNew = true;
        c.fileSave = true;
        return c;
    }
    return std::nullopt;
}

std::optional<StatusControls> statusControlsFor(CounterState state, bool hasPoints) {
    using Slider = StatusControls::Slider;
    switch (state) {
    case VIEWER:
        // The viewer's slider follows what it holds, whichever slot was shown before.
        return StatusControls{false, hasPoints ? Slider::Enabled : Slider::Disabled};
    case DEMO:
    case NEW:
        return StatusControls{false, Slider::Disabled};
    case RUNNING:
        return StatusControls{true, hasPoints ? Slider::Enabled : Slider::Disabled};
    case STOPPED:
        return StatusControls{false, Slider::Enabled};
    }
    return std::nullopt;
}

} // namespace nivra::ui
