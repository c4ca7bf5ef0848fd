#pragma once

class QWidget;

namespace nivra::ui {

struct MainWindowUi;
class Prompts;
class RangeSlider;
class WindowMenu;
class SlotModel;

// What the window shows about the active slot's state: the status text, the file label, the
// Active Counter check marks and the commands the state allows (File and Assay Run items, the
// screen-updates button, the range slider).
class SlotStatus {
public:
    // Takes the window's status controls and its menu.
    SlotStatus(const MainWindowUi& ui, Prompts& prompts, WindowMenu& menu, const SlotModel& model);

    // Status text, file label, screen-updates button, slider and commands of the active slot.
    void show();
    // The Active Counter check mark on the active counter (none for the viewer).
    void markActiveCounter();
    // Offers the counters the slot model offers in the Active Counter menu, grays the others.
    void showOfferedCounters();

private:
    void showCommandStates();

    Prompts& prompts_;
    const SlotModel& slots_;
    WindowMenu& menu_;
    const MainWindowUi& ui_;
};

} // namespace nivra::ui
