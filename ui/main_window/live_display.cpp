// The live display of a run: the run's reports, the progress bar and the switch that stops
// the per-second redraw.

#include "engine/assay_run.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/nivra_dlg.h"

#include <QCheckBox>
#include <QProgressBar>

using namespace nivra::ui::main;

void CNivraDlg::SetProgressFrom(const CounterSlot& slot) {
    progressBar_->setValue(slot.data ? ProgressPosition(slot.data->progress()) : 0);
}

void CNivraDlg::OnRunSecond(int counter, std::int64_t lastSecond, std::int64_t dwellCounts) {
    // Runs on other slots go on without touching the screen. A second changes only the live
    // texts, the heartbeat and the progress; the record's display changes when a point closes.
    if (counter != activeSlot_)
        return;
    const CounterSlot& slot = ActiveSlotRecord();
    SetText(kCountsLastSecondLabel, CountsLastSecondText(lastSecond));
    SetText(kCountsDwellLabel, CountsCurrentDwellText(dwellCounts));
    heartbeatBox_->setChecked(!heartbeatBox_->isChecked());
    if (!slot.data)
        return;
    SetProgressFrom(slot);
    const std::int64_t endTime = slot.data->endTime();
    SetText(kEndTimeLabel, EndTimeText(endTime));
    SetText(kTimeLeftLabel, TimeLeftText(endTime, Now()));
}

void CNivraDlg::OnRunRecordChanged(int counter) {
    if (counter != activeSlot_)
        return;
    const CounterSlot& slot = ActiveSlotRecord();
    if (screenUpdates_) {
        ShowWholeRecord();
        RefreshStatus();
    } else {
        // The Assessment dialog follows the run's points also while the window's view stays.
        RefreshAssessment();
    }
    SetText(kCountsDwellLabel, CountsCurrentDwellText(0));
    if (slot.data)
        SetProgressFrom(slot);
}

void CNivraDlg::OnRunFinished(int counter) {
    CounterSlot& slot = slots_[static_cast<std::size_t>(counter)];
    slot.state = STOPPED;
    slot.silentSince.reset(); // the stretch, if any, ended with the run; its line is recorded
    if (counter == activeSlot_) {
        // The run has appended its end or stop line and maybe a last point.
        ShowWholeRecord();
        FillHeaderList();
        SetProgressFrom(slot);
        RefreshStatus();
    }
    // The run has reported its end; its thread returns right after.
    slot.run.reset();
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
