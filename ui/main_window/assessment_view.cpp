// Statistics Show > Assessment: the Assessment dialog of the active slot. The window keeps one
// dialog and asks it to refresh whenever the active slot's status is refreshed (a switch of the
// active slot, a file opened or cleared, a point deleted, the start and the end of a run, each
// closed point) and whenever the region of interest changes (step buttons, "Set ROI", the range
// slider released).

#include "ui/controls/range_slider.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/main_window/nivra_dlg.h"

void CNivraDlg::OnAssessment() {
    if (!assessment_) {
        assessment_ = new nivra::ui::AssessmentDlg(
            [this] {
                nivra::ui::AssessmentSource source;
                const CounterSlot& slot = ActiveSlotRecord();
                source.record = slot.data.get();
                source.slot = activeSlot_;
                RoiSelection(source.roiFirst, source.roiLast);
                return source;
            },
            this);
        connect(rangeSlider_, &CRangeSlider::rangeChanged, assessment_,
                [this](CRangeSlider::Part, bool finished) {
                    if (finished)
                        RefreshAssessment();
                });
    }
    assessment_->Refresh();
    assessment_->show();
    assessment_->raise();
    assessment_->activateWindow();
}

void CNivraDlg::RefreshAssessment() {
    if (assessment_ && assessment_->isVisible())
        assessment_->ScheduleRefresh();
}
