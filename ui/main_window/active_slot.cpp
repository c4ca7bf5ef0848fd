// Switching the active slot, and the two dump lists that show its points.

#include "ui/controls/range_slider.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QCheckBox>
#include <QListWidget>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

using namespace nivra::ui::main;

namespace {

QStringList PointTexts(const std::vector<std::int32_t>& counts, std::int64_t firstNumber) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(counts.size()));
    for (std::size_t i = 0; i < counts.size(); ++i)
        texts << QString::fromStdString(
            PointText(firstNumber + static_cast<std::int64_t>(i), counts[i]));
    return texts;
}

} // namespace

void CNivraDlg::OnActiveCounter(int slot) {
    activeSlot_ = slot;
    ShowActiveSlot();
}

void CNivraDlg::ShowActiveSlot() {
    for (int k = 1; k <= 4; ++k)
        Menu()->CheckItem(nivra::res::kCmdCounter1 + k - 1, activeSlot_ == k);

    for (int id : {kStatsValueList, kRoiDumpList, kDataDumpList, kHeaderList})
        ClearList(id);

    const CounterSlot& slot = ActiveSlotRecord();
    if (ShowWholeRecord() > 0) {
        SetProgressFrom(slot);
        FillDataDump();
        FillRoiDump();
    } else {
        ClearChart();
        progressBar_->setValue(0);
        rangeSlider_->SetFullRange(1, 1);
        rangeSlider_->SetSelection(1, 1);
        roiMin_ = roiMax_ = 1;
    }
    UpdateData(false);

    SetText(kActiveLabel, ActiveLabelText(activeSlot_));
    SetItemText(kEndTimeLabel, QStringLiteral("End Time: "));
    SetItemText(kTimeLeftLabel, QStringLiteral("Time Left:"));
    heartbeatBox_->setChecked(false);
    SetScreenUpdates(true);
    RefreshStatus();
}

void CNivraDlg::FillDataDump() {
    auto* list = ControlAs<QListWidget>(kDataDumpList);
    list->clear();
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return;
    list->addItems(PointTexts(slot.data->counts(), 1));
}

void CNivraDlg::FillRoiDump() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    auto* list = ControlAs<QListWidget>(kRoiDumpList);
    list->clear();
    double low = 0.0, high = 0.0;
    rangeSlider_->GetSelection(low, high);
    // The points of the region, numbered as the record numbers them; a region reaching outside
    // the record holds the points that exist in it.
    const double first = std::max(1.0, std::trunc(low));
    const double last = std::trunc(high);
    if (!(first <= last) || first > static_cast<double>(slot.PointCount()))
        return;
    const auto firstNumber = static_cast<int>(first);
    const int lastNumber = static_cast<int>(std::min(last, static_cast<double>(slot.PointCount())));
    list->addItems(PointTexts(slot.data->counts(firstNumber, lastNumber), firstNumber));
}
