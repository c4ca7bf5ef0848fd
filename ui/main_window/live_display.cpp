// The live display of a run: the three run messages, the progress bar and the switch that stops
// the per-second redraw.

#include "ui/controls/range_slider.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/nivra_dlg.h"

#include <QCheckBox>
#include <QProgressBar>

using namespace nivra::ui::main;

void CNivraDlg::SetProgressFrom(const CounterSlot& slot) {
    progressBar_->setValue(slot.data ? ProgressPosition(slot.data->progress()) : 0);
}

void CNivraDlg::OnRunCounts(int counter, std::int64_t lastSecond) {
    // Runs on other slots go on without touching the screen.
    if (counter != activeSlot_)
        return;
    const CounterSlot& slot = ActiveSlotRecord();
    if (screenUpdates_) {
        ShowWholeRecord();
        RefreshStatus();
    }
    if (slot.data)
        SetProgressFrom(slot);
    SetText(kCountsLastSecondLabel, CountsLastSecondText(lastSecond));
}

void CNivraDlg::OnRunDwell(int counter, std::int64_t dwellCounts) {
    if (counter != activeSlot_)
        return;
    SetText(kCountsDwellLabel, CountsCurrentDwellText(dwellCounts));
    heartbeatBox_->setChecked(!heartbeatBox_->isChecked());
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return;
    const std::int64_t endTime = slot.data->endTime();
    SetText(kEndTimeLabel, EndTimeText(endTime));
    SetText(kTimeLeftLabel, TimeLeftText(endTime, Now()));
}

void CNivraDlg::OnRunFinished(int counter) {
    CounterSlot& slot = slots_[static_cast<std::size_t>(counter)];
    slot.state = STOPPED;
    if (counter == activeSlot_) {
        // The run has appended its end or stop line and maybe a last point.
        ShowWholeRecord();
        FillHeaderList();
        SetProgressFrom(slot);
        RefreshStatus();
    }
    // The run thread ends once it has the quit message; it deletes itself.
    if (slot.runThread) {
        slot.runThread->PostThreadMessage(nivra::WM_QUIT);
        slot.runThread = nullptr;
    }
    heartbeatBox_->setChecked(false);
    // The end of any run brings the live redraw back, also for a slot that is not active.
    SetScreenUpdates(true);
}

void CNivraDlg::SetScreenUpdates(bool on) {
    if (on) {
        if (ShowWholeRecord() > 0) {
            FillHeaderList();
            SetProgressFrom(ActiveSlotRecord());
        }
        SetItemText(kScreenUpdatesButton, QStringLiteral("Disable Screen Updates"));
    } else {
        SetItemText(kScreenUpdatesButton, QStringLiteral("Enable Screen Updates"));
    }
    screenUpdates_ = on;
}

void CNivraDlg::OnScreenUpdatesButton() {
    SetScreenUpdates(!screenUpdates_);
}
