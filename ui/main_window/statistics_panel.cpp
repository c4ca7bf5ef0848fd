#include "ui/main_window/statistics_panel.h"

#include "model/statistic.h"
#include "model/statistics.h"
#include "ui/controls/narrow_text.h"
#include "ui/main_window/counter_slot.h"
#include "ui/main_window/roi_view.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/main_window_ui.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace nivra::ui {

namespace {

// The list's narrowest installed face at the largest size (at most font's) at which every text
// fits the list's width.
QFont fittingFont(const QListWidget& list, QFont font, const QStringList& texts) {
    // A list item is drawn with a few pixels of margin; the statistics never need more rows
    // than the list shows, so no scroll bar takes room.
    const int room = list.contentsRect().width() - 6;
    const auto widest = [&](const QFont& f) {
        const QFontMetrics metrics(f);
        int width = 0;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text));
        return width;
    };
    QFont narrow(QStringLiteral("Liberation Sans Narrow"));
    narrow.setPointSizeF(font.pointSizeF());
    if (QFontInfo(narrow).family() == narrow.family())
        font = narrow;
    while (font.pointSizeF() > 6.0 && widest(font) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

} // namespace

StatisticsPanel::StatisticsPanel(const MainWindowUi& ui, WindowMenu& menu, const SlotModel& model,
                                 RegionSource region, const StartDirectory& start)
    : slots_(model), region_(std::move(region)),
      selectionFile_(start.file(nivra::kStatsDisplayFile)), menu_(menu), labels_(ui.statsLabels),
      values_(ui.statsValues) {
    connect(ui.allData, &QPushButton::clicked, this, &StatisticsPanel::showAllData);
    connect(ui.roiStats, &QPushButton::clicked, this, &StatisticsPanel::showRegion);
    for (std::size_t k = 0; k < nivra::kStatisticCount; ++k)
        connect(menu_.action(nivra::statisticAt(k)), &QAction::triggered, this, [this, k] {
            // The list is not refilled here: it shows the new choice at its next fill.
            selection_.toggle(nivra::statisticAt(k));
            applySelection();
        });
}

void StatisticsPanel::fitFont(const QFont& font) {
    QStringList labels{QStringLiteral("ROI min"), QStringLiteral("ROI max")};
    for (const nivra::StatisticNames& names : nivra::kStatisticNames)
        labels << QString::fromUtf8(names.listLabel);
    QFont fitting = fittingFont(*labels_, font, labels);
    fitting = fittingFont(*values_, fitting,
                          {QStringLiteral("123456789.1234"), QStringLiteral("-12345678.1234")});
    labels_->setFont(fitting);
    values_->setFont(fitting);
}

void StatisticsPanel::loadSelection() {
    selection_.load(selectionFile_);
    applySelection();
}

void StatisticsPanel::applySelection() {
    for (std::size_t k = 0; k < nivra::kStatisticCount; ++k)
        menu_.checkItem(nivra::statisticAt(k), selection_.shows(nivra::statisticAt(k)));
    selection_.save(selectionFile_);
}

void StatisticsPanel::clearValues() {
    values_->clear();
}

void StatisticsPanel::fill(const AssayData& data) {
    labels_->clear();
    values_->clear();
    for (const nivra::StatisticRow& row : nivra::statisticsBlock(data, selection_)) {
        labels_->addItem(QString::fromUtf8(row.listLabel));
        values_->addItem(fromNarrow(row.value));
    }
}

void StatisticsPanel::showAllData() {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    // The statistics of the points themselves: an extract counts for its points times the
    // dwell, not for the configured total time of a run that may have stopped early.
    const std::unique_ptr<AssayData> all =
        slot.data->extractRange(1, static_cast<int>(slot.pointCount()));
    if (all->pointCount() > 0)
        fill(*all);
}

void StatisticsPanel::showRegion() {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    const PointRange range = region_();
    // An empty region (low edge above the high one) leaves the previous rows in place; the two
    // ROI rows below still say which region was asked for.
    const std::unique_ptr<AssayData> region = slot.data->extractRange(range.first, range.last);
    if (region->pointCount() > 0)
        fill(*region);
    labels_->addItem(QStringLiteral("ROI min"));
    values_->addItem(QString::number(range.first));
    labels_->addItem(QStringLiteral("ROI max"));
    values_->addItem(QString::number(range.last));
}

} // namespace nivra::ui
