// What the runs report about their counters: stretches without an answer and registers that
// went back. The record holds the header lines; the window says a stretch once and shows it in
// the slot's status while it lasts.

#include "base/value_encoding.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/main_window/nivra_dlg.h"

void CNivraDlg::OnCounterFault(int counter, nivra::CounterFault fault, std::int64_t first) {
    CounterSlot& slot = slots_[static_cast<std::size_t>(counter)];
    switch (fault) {
    case nivra::CounterFault::NotAnswering:
        slot.silentSince = first;
        break;
    case nivra::CounterFault::AnsweringAgain:
        slot.silentSince.reset();
        break;
    case nivra::CounterFault::WrappedOrReset:
        break; // only its header line is new
    }
    if (counter == activeSlot_)
        RefreshStatus();
    if (fault == nivra::CounterFault::NotAnswering)
        nivra::ui::ShowMessage(
            QStringLiteral("Counter %1 not answering since %2; the run goes on and records it")
                .arg(counter)
                .arg(nivra::ui::FromNarrow(nivra::FormatLocalTime(first))));
}
