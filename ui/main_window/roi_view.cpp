// The chart and the region-of-interest view: which points the chart shows, and the range slider
// with its two ROI edits.

#include "ui/controls/range_slider.h"
#include "ui/controls/saturating_int.h"
#include "ui/main_window/chart_widget.h"
#include "ui/main_window/nivra_dlg.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

using namespace nivra::ui::main;

namespace {

// A selection edge for the unsigned ROI fields: truncated, saturated, never negative.
std::uint32_t RoiFieldOf(double value) {
    if (!(value > 0.0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}

} // namespace

void CNivraDlg::ShowPoints(int first, int last) {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data) {
        chart_->Clear();
        return;
    }
    // One copy of the counts per frame: the run may append to the record meanwhile.
    const std::vector<std::int32_t> counts = slot.data->counts();
    // A range reaching beyond the record is cut to it, so a wrong range never reads outside it;
    // first = 1 with last = 0 (the last point was just deleted) shows no points.
    const std::int64_t size = static_cast<std::int64_t>(counts.size());
    const std::int64_t begin = std::clamp<std::int64_t>(std::int64_t{first} - 1, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(last, begin, size);
    chart_->SetPoints(std::span(counts).subspan(static_cast<std::size_t>(begin),
                                                static_cast<std::size_t>(end - begin)),
                      static_cast<int>(begin + 1));
}

int CNivraDlg::ShowWholeRecord() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return 0;
    const std::vector<std::int32_t> counts = slot.data->counts();
    const int points = static_cast<int>(counts.size());
    if (points > 0) {
        chart_->SetPoints(counts, 1);
        SetRoiView(1, points, 1, points);
    }
    return points;
}

void CNivraDlg::ClearChart() {
    chart_->Clear();
}

void CNivraDlg::SetRoiView(double min, double max, double low, double high) {
    rangeSlider_->SetFullRange(min, max);
    rangeSlider_->SetSelection(low, high);
    roiMin_ = RoiFieldOf(low);
    roiMax_ = RoiFieldOf(high);
    // Only the two ROI edits, and not while the operator types in one of them.
    SetEditUnlessTyped(kRoiMinEdit, QString::number(roiMin_));
    SetEditUnlessTyped(kRoiMaxEdit, QString::number(roiMax_));
}

void CNivraDlg::SetEditUnlessTyped(int id, const QString& text) {
    auto* edit = ControlAs<QLineEdit>(id);
    if (edit && (edit->hasFocus() || edit->isModified()))
        return;
    SetItemText(id, text);
}

void CNivraDlg::RoiSelection(int& first, int& last) const {
    double low = 0.0, high = 0.0;
    rangeSlider_->GetSelection(low, high);
    first = nivra::ui::TruncToInt(low);
    last = nivra::ui::TruncToInt(high);
}

void CNivraDlg::OnRangeChanged(bool finished) {
    int first = 0, last = 0;
    RoiSelection(first, last);
    // The edits follow the slider live; the members take the values at the next read.
    SetItemText(kRoiMinEdit, QString::number(first));
    SetItemText(kRoiMaxEdit, QString::number(last));
    // The chart is redrawn once the operator has finished (button released, all selected).
    if (finished && ActiveSlotRecord().HasPoints())
        ShowPoints(first, last);
}
