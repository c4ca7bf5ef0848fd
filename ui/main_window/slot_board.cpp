#include "ui/main_window/slot_board.h"

#include "engine/assay_run.h"

#include <algorithm>

namespace nivra::ui {

bool SlotBoard::hasRuns() const {
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const CounterSlot& slot) { return slot.run != nullptr; });
}

void SlotBoard::stopRunsAndWait() {
    for (CounterSlot& slot : slots_)
        if (slot.run)
            slot.run->requestStop();
    // Each run ends within one pass of its worker; destroying it waits for that. Their last
    // reports, still queued for the window, find the slots without a run.
    for (CounterSlot& slot : slots_)
        slot.run.reset();
}

} // namespace nivra::ui
