#include "ui/main_window/roi_view.h"

#include "ui/controls/control_text.h"
#include "ui/controls/edit_fields.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/controls/saturating_int.h"
#include "ui/main_window/chart_widget.h"
#include "ui/main_window/counter_slot.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/main_window_ui.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace nivra::ui {

namespace {

// A selection edge for the unsigned ROI fields: truncated, saturated, never negative.
std::uint32_t roiFieldOf(double value) {
    if (!(value > 0.0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}

QStringList pointTexts(const std::vector<std::int32_t>& counts, std::int64_t firstNumber) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(counts.size()));
    for (std::size_t i = 0; i < counts.size(); ++i)
        texts << QString::fromStdString(
            pointText(firstNumber + static_cast<std::int64_t>(i), counts[i]));
    return texts;
}

} // namespace

RoiView::RoiView(const MainWindowUi& ui, Prompts& prompts, SlotModel& model)
    : prompts_(prompts), slots_(model), chart_(ui.chart), slider_(ui.slider),
      roiMinEdit_(ui.roiMin), roiMaxEdit_(ui.roiMax), dataDump_(ui.dataDump), roiDump_(ui.roiDump),
      deletePointEdit_(ui.deletePointEdit) {
    connect(slider_, &RangeSlider::rangeChanged, this,
            [this](RangeSlider::Part, bool finished) { sliderMoved(finished); });
    connect(ui.lowDown, &QPushButton::clicked, this, [this] { stepRegion(Edge::Low, -1); });
    connect(ui.lowUp, &QPushButton::clicked, this, [this] { stepRegion(Edge::Low, +1); });
    connect(ui.highDown, &QPushButton::clicked, this, [this] { stepRegion(Edge::High, -1); });
    connect(ui.highUp, &QPushButton::clicked, this, [this] { stepRegion(Edge::High, +1); });
    connect(ui.setRoi, &QPushButton::clicked, this, &RoiView::setRegion);
    connect(ui.deletePoint, &QPushButton::clicked, this, &RoiView::deletePoint);
    connect(ui.dataDumpButton, &QPushButton::clicked, this, &RoiView::fillDataDump);
    connect(ui.roiDumpButton, &QPushButton::clicked, this, &RoiView::fillRoiDump);
}

// ---- chart and slider ----

void RoiView::showPoints(int first, int last) {
    const CounterSlot& slot = slots_.active();
    if (!slot.data) {
        chart_->clear();
        return;
    }
    // One copy of the counts per frame: the run may append to the record meanwhile.
    const std::vector<std::int32_t> counts = slot.data->counts();
    // A range reaching beyond the record is cut to it, so a wrong range never reads outside it;
    // first = 1 with last = 0 (the last point was just deleted) shows no points.
    const std::int64_t size = static_cast<std::int64_t>(counts.size());
    const std::int64_t begin = std::clamp<std::int64_t>(std::int64_t{first} - 1, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(last, begin, size);
    chart_->setPoints(std::span(counts).subspan(static_cast<std::size_t>(begin),
                                                static_cast<std::size_t>(end - begin)),
                      static_cast<int>(begin + 1));
}

int RoiView::showWholeRecord() {
    const CounterSlot& slot = slots_.active();
    if (!slot.data)
        return 0;
    const std::vector<std::int32_t> counts = slot.data->counts();
    const int points = static_cast<int>(counts.size());
    if (points > 0) {
        chart_->setPoints(counts, 1);
        setView(1, points, 1, points);
    }
    return points;
}

void RoiView::clearChart() {
    chart_->clear();
}

void RoiView::showNoPoints() {
    chart_->clear();
    slider_->setFullRange(1, 1);
    slider_->setSelection(1, 1);
    roiMin_ = roiMax_ = 1;
    showRegionInEdits();
}

void RoiView::showRegionInEdits() {
    for (QLineEdit* edit : {roiMinEdit_, roiMaxEdit_}) {
        setControlText(edit, QString::number(edit == roiMinEdit_ ? roiMin_ : roiMax_));
        edit->setModified(false);
    }
}

void RoiView::setView(double min, double max, double low, double high) {
    slider_->setFullRange(min, max);
    slider_->setSelection(low, high);
    roiMin_ = roiFieldOf(low);
    roiMax_ = roiFieldOf(high);
    // Only the two ROI edits, and not while the operator types in one of them.
    writeUnlessTyped(roiMinEdit_, roiMin_);
    writeUnlessTyped(roiMaxEdit_, roiMax_);
}

void RoiView::setSliderEnabled(bool enabled) {
    slider_->setEnabled(enabled);
}

void RoiView::setListFont(const QFont& font) {
    dataDump_->setFont(font);
    roiDump_->setFont(font);
}

void RoiView::writeUnlessTyped(QLineEdit* edit, std::uint32_t value) {
    if (edit->hasFocus() || edit->isModified())
        return;
    setControlText(edit, QString::number(value));
}

PointRange RoiView::selection() const {
    double low = 0.0, high = 0.0;
    slider_->getSelection(low, high);
    return {truncToInt(low), truncToInt(high)};
}

void RoiView::sliderMoved(bool finished) {
    const PointRange range = selection();
    // The edits follow the slider live; the members take the values at the next read.
    setControlText(roiMinEdit_, QString::number(range.first));
    setControlText(roiMaxEdit_, QString::number(range.last));
    // The chart is redrawn once the operator has finished (button released, all selected).
    if (finished && slots_.active().hasPoints())
        showPoints(range.first, range.last);
    if (finished)
        emit regionChanged();
}

// ---- the operator's edits of the region and the record ----

void RoiView::stepRegion(Edge edge, int step) {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    const double points = static_cast<double>(slot.pointCount());
    double low = 0.0, high = 0.0;
    slider_->getSelection(low, high);
    // An edge moves by one point, never past the other edge or out of the record.
    if (edge == Edge::Low)
        low = step < 0 ? std::max(low - 1.0, 1.0) : std::min(low + 1.0, high);
    else
        high = step < 0 ? std::max(high - 1.0, low) : std::min(high + 1.0, points);
    // Both edges become whole point numbers, also the one that did not move (after a drag it
    // may lie between two points). The full range is reset as well, so points that arrived
    // since the last reset become reachable.
    low = std::trunc(low);
    high = std::trunc(high);
    setView(1.0, points, low, high);
    showPoints(static_cast<int>(low), static_cast<int>(high));
    emit regionChanged();
}

void RoiView::setRegion() {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    // ROI min, then ROI max: a field that does not convert has been reported, keeps its
    // previous value and ends the reading.
    if (readUnsigned(prompts_, roiMinEdit_, roiMin_))
        readUnsigned(prompts_, roiMaxEdit_, roiMax_);
    const std::size_t points = slot.pointCount();
    const char* refusal = nullptr;
    if (roiMin_ < 1)
        refusal = "ROI Min must be greater then or equal to 1";
    else if (roiMax_ > points)
        refusal = "ROI Max must be less then or equal to number of points";
    else if (roiMin_ > roiMax_)
        refusal = "ROI Min must be less then or equal to ROI Max";
    if (refusal) {
        prompts_.tell(QString::fromLatin1(refusal));
        // The region stays as it was, and the edits show it rather than the refused numbers.
        const PointRange region = selection();
        roiMin_ = static_cast<std::uint32_t>(std::max(region.first, 0));
        roiMax_ = static_cast<std::uint32_t>(std::max(region.last, 0));
        showRegionInEdits();
        return;
    }
    const std::uint32_t first = roiMin_;
    const std::uint32_t last = roiMax_;
    // The operator's values are taken: from now on new points may update the edits again.
    roiMinEdit_->setModified(false);
    roiMaxEdit_->setModified(false);
    setView(1.0, static_cast<double>(points), first, last);
    showPoints(static_cast<int>(first), static_cast<int>(last));
    emit regionChanged();
}

void RoiView::deletePoint() {
    if (!slots_.active().hasPoints())
        return;
    // A number that does not convert has been reported: nothing is deleted, rather than a point
    // named by an earlier number.
    std::uint32_t number = 0;
    if (!readUnsigned(prompts_, deletePointEdit_, number))
        return;
    if (!slots_.deletePoint(slots_.activeIndex(), number))
        prompts_.tell(QStringLiteral("Can't delete: point out of range"));
}

void RoiView::showEditedRecord() {
    const int remaining = static_cast<int>(slots_.active().pointCount());
    setView(1, remaining, 1, remaining);
    showPoints(1, remaining);
    // Dump lists on the screen show the record as it is now.
    if (dataDump_->count() > 0)
        fillDataDump();
    if (roiDump_->count() > 0) {
        roiDump_->clear();
        fillRoiDump();
    }
}

// ---- dump lists ----

void RoiView::fillDataDump() {
    dataDump_->clear();
    const CounterSlot& slot = slots_.active();
    if (!slot.data)
        return;
    dataDump_->addItems(pointTexts(slot.data->counts(), 1));
}

void RoiView::fillRoiDump() {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    roiDump_->clear();
    double low = 0.0, high = 0.0;
    slider_->getSelection(low, high);
    // The points of the region, numbered as the record numbers them; a region reaching outside
    // the record holds the points that exist in it.
    const double first = std::max(1.0, std::trunc(low));
    const double last = std::trunc(high);
    if (!(first <= last) || first > static_cast<double>(slot.pointCount()))
        return;
    const auto firstNumber = static_cast<int>(first);
    const int lastNumber = static_cast<int>(std::min(last, static_cast<double>(slot.pointCount())));
    roiDump_->addItems(pointTexts(slot.data->counts(firstNumber, lastNumber), firstNumber));
}

void RoiView::clearDumps() {
    roiDump_->clear();
    dataDump_->clear();
}

} // namespace nivra::ui
