// The controls under and beside the chart that change the active slot's record or its region of
// interest: the four step buttons and "Set ROI", "Delete" of a single point, and "Add" and "Del"
// of header lines.

#include "storage/run_recorder.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/nivra_dlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <cmath>

using namespace nivra::ui::main;

void CNivraDlg::OnRoiStep(int button) {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    const double points = static_cast<double>(slot.PointCount());
    double low = 0.0, high = 0.0;
    rangeSlider_->GetSelection(low, high);
    switch (button) {
    case kLowDownButton:
        low = std::max(low - 1.0, 1.0);
        break;
    case kLowUpButton:
        low = std::min(low + 1.0, high);
        break;
    case kHighDownButton:
        high = std::max(high - 1.0, low);
        break;
    case kHighUpButton:
        high = std::min(high + 1.0, points);
        break;
    default:
        return;
    }
    // Both edges become whole point numbers, also the one that did not move (after a drag it
    // may lie between two points). The full range is reset as well, so points that arrived
    // since the last reset become reachable.
    low = std::trunc(low);
    high = std::trunc(high);
    SetRoiView(1.0, points, low, high);
    ShowPoints(static_cast<int>(low), static_cast<int>(high));
    RefreshAssessment();
}

void CNivraDlg::OnSetRoi() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    // A field that does not convert has been reported and keeps its previous value.
    UpdateData(true);
    const std::size_t points = slot.PointCount();
    if (roiMin_ < 1) {
        nivra::ui::ShowMessage(QStringLiteral("ROI Min must be greater then or equal to 1"));
        return;
    }
    if (roiMax_ > points) {
        nivra::ui::ShowMessage(
            QStringLiteral("ROI Max must be less then or equal to number of points"));
        return;
    }
    if (roiMin_ > roiMax_) {
        nivra::ui::ShowMessage(QStringLiteral("ROI Min must be less then or equal to ROI Max"));
        return;
    }
    const std::uint32_t first = roiMin_;
    const std::uint32_t last = roiMax_;
    // The operator's values are taken: from now on new points may update the edits again.
    for (int id : {kRoiMinEdit, kRoiMaxEdit})
        ControlAs<QLineEdit>(id)->setModified(false);
    SetRoiView(1.0, static_cast<double>(points), first, last);
    ShowPoints(static_cast<int>(first), static_cast<int>(last));
    RefreshAssessment();
}

void CNivraDlg::OnDeletePoint() {
    CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    UpdateData(true);
    const std::size_t points = slot.PointCount();
    // Points are only ever appended meanwhile (a run may still go on), so a number that is in
    // range now names the same point when it is deleted.
    if (deletePointNumber_ < 1 || deletePointNumber_ > points ||
        !slot.data->deletePoint(static_cast<int>(deletePointNumber_ - 1))) {
        nivra::ui::ShowMessage(QStringLiteral("Can't delete: point out of range"));
        RefreshStatus();
        return;
    }
    // An edit of the record: File New, Open and Exit ask before it is discarded.
    slot.saved = false;
    // The history marks the run's point deleted, numbered as the operator saw it.
    if (slot.recorder)
        slot.recorder->pointDeleted(static_cast<int>(deletePointNumber_));
    const int remaining = static_cast<int>(slot.PointCount());
    SetRoiView(1, remaining, 1, remaining);
    ShowPoints(1, remaining);
    RefreshStatus();
}

void CNivraDlg::OnAddHeaderLine() {
    CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return;
    UpdateData(true);
    // An empty line is a line too: the operator may want a blank line in the description.
    slot.data->appendHeaderLine(headerText_);
    slot.saved = false;
    FillHeaderList();
    headerText_.clear();
    UpdateData(false);
}

void CNivraDlg::OnDelHeaderLine() {
    CounterSlot& slot = ActiveSlotRecord();
    auto* list = ControlAs<QListWidget>(kHeaderList);
    const QList<QListWidgetItem*> selection = list->selectedItems();
    if (!slot.data || selection.isEmpty())
        return;
    const int selected = list->row(selection.first());
    // The list mirrors the record's lines in order; a run only appends to them.
    slot.data->removeHeaderLine(static_cast<std::size_t>(selected));
    slot.saved = false;
    FillHeaderList();
    UpdateData(false);
}
