#pragma once

#include "ui/main_window/counter_slot.h"

#include <array>

namespace nivra::ui {

// The main window's five slots (the viewer and counters 1 to 4) and which of them is active.
// This is how the window's parts reach a slot's record: the active one for what the displays
// show, any of them for what a run reports. Plain data, no widgets.
class SlotBoard {
public:
    int activeIndex() const { return active_; }
    CounterSlot& active() { return slot(active_); }
    const CounterSlot& active() const { return slot(active_); }
    CounterSlot& slot(int index) { return slots_.at(static_cast<std::size_t>(index)); }
    const CounterSlot& slot(int index) const { return slots_.at(static_cast<std::size_t>(index)); }
    CounterSlot& viewer() { return slot(kViewerSlot); }
    const CounterSlot& viewer() const { return slot(kViewerSlot); }
    bool isActive(int index) const { return index == active_; }

    // Makes a slot the active one; the caller redisplays the window for it.
    void select(int index) { active_ = index; }

    // Whether any slot has a run attached.
    bool hasRuns() const;
    // Stops every run still attached to a slot and waits until each has ended. Returns at once
    // when no run is attached.
    void stopRunsAndWait();

private:
    std::array<CounterSlot, kSlotCount> slots_;
    int active_ = kViewerSlot;
};

} // namespace nivra::ui
