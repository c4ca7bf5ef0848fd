// The statistics pair of the main window: labels in one list box, values in the other, row for
// row, for the whole record ("All Data") or for the region of interest ("ROI"). The statistics
// are computed by the record's own statistics block, with the "Statistics Show" selection and
// the background gate applied; nothing is computed or cached here.

#include "model/statistics.h"
#include "ui/controls/narrow_text.h"
#include "ui/main_window/nivra_dlg.h"

#include <QListWidget>

using namespace nivra::ui::main;

void CNivraDlg::FillStatistics(const AssayData& data) {
    auto* labels = ControlAs<QListWidget>(kStatsLabelList);
    auto* values = ControlAs<QListWidget>(kStatsValueList);
    labels->clear();
    values->clear();
    for (const nivra::StatisticRow& row : nivra::StatisticsBlock(data, statsShow_)) {
        labels->addItem(QString::fromUtf8(row.listLabel));
        values->addItem(nivra::ui::FromNarrow(row.value));
    }
}

void CNivraDlg::OnAllData() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    // The statistics of the points themselves: an extract counts for its points times the
    // dwell, not for the configured total time of a run that may have stopped early.
    const std::unique_ptr<AssayData> all =
        slot.data->extractRange(1, static_cast<int>(slot.PointCount()));
    if (all->pointCount() > 0)
        FillStatistics(*all);
}

void CNivraDlg::OnRoiStatistics() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    int first = 0, last = 0;
    RoiSelection(first, last);
    // An empty region (low edge above the high one) leaves the previous rows in place; the two
    // ROI rows below still say which region was asked for.
    const std::unique_ptr<AssayData> region = slot.data->extractRange(first, last);
    if (region->pointCount() > 0)
        FillStatistics(*region);
    auto* labels = ControlAs<QListWidget>(kStatsLabelList);
    auto* values = ControlAs<QListWidget>(kStatsValueList);
    labels->addItem(QStringLiteral("ROI min"));
    values->addItem(QString::number(first));
    labels->addItem(QStringLiteral("ROI max"));
    values->addItem(QString::number(last));
}
