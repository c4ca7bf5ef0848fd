#include "ui/main_window/chart_widget.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const std::string kNoLabel;

constexpr int kSampleRows = 5;
constexpr double kSampleValues[kSampleRows] = {9, 4, 7, 11, 6};
constexpr const char* kSampleLabels[kSampleRows] = {"R1", "R2", "R3", "R4", "R5"};

// A step of 1, 2 or 5 times a power of ten giving about `target` intervals over span.
double NiceStep(double span, int target) {
    const double raw = span / target;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double nice = fraction <= 1.0   ? 1.0
                        : fraction <= 2.0 ? 2.0
                        : fraction <= 5.0 ? 5.0
                                          : 10.0;
    return nice * magnitude;
}

QString AxisNumber(double value) {
    // Whole numbers without decimals, others with as many as they need (at most 6 significant).
    if (std::fabs(value - std::round(value)) < 1e-9)
        return QString::number(static_cast<long long>(std::llround(value)));
    return QString::number(value, 'g', 6);
}

} // namespace

CChartWidget::CChartWidget(QWidget* parent)
    : QWidget(parent), title_(QStringLiteral("Corvane Nivra")),
      categoryTitle_(QStringLiteral("Channel No. :  No. of Counts")),
      valueTitle_(QStringLiteral("Alpha Counts")) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    values_.assign(std::begin(kSampleValues), std::end(kSampleValues));
    labels_.assign(std::begin(kSampleLabels), std::end(kSampleLabels));
}

void CChartWidget::LeaveSample() {
    if (!sample_)
        return;
    sample_ = false;
    values_.clear();
    labels_.clear();
}

void CChartWidget::ScheduleRepaint() {
    // One pending repaint is enough for any number of writes; update() itself is not free and a
    // frame of a long run makes hundreds of thousands of writes.
    if (repaintPending_)
        return;
    repaintPending_ = true;
    update();
}

void CChartWidget::SetRowCount(int count) {
    LeaveSample();
    const std::size_t rows = static_cast<std::size_t>(std::max(count, 0));
    if (rows != values_.size()) {
        values_.resize(rows, 0.0);
        labels_.resize(rows);
    }
    ScheduleRepaint();
}

void CChartWidget::SetValue(int row, double value) {
    if (!HasRow(row))
        return;
    values_[static_cast<std::size_t>(row - 1)] = value;
    ScheduleRepaint();
}

void CChartWidget::SetLabel(int row, std::string_view label) {
    if (!HasRow(row))
        return;
    labels_[static_cast<std::size_t>(row - 1)].assign(label.data(), label.size());
    ScheduleRepaint();
}

double CChartWidget::Value(int row) const {
    return HasRow(row) ? values_[static_cast<std::size_t>(row - 1)] : 0.0;
}

const std::string& CChartWidget::Label(int row) const {
    return HasRow(row) ? labels_[static_cast<std::size_t>(row - 1)] : kNoLabel;
}

void CChartWidget::paintEvent(QPaintEvent*) {
    repaintPending_ = false;
    QPainter painter(this);
    Draw(painter, rect());
}

void CChartWidget::Draw(QPainter& p, const QRect& area) {
    p.fillRect(area, Qt::white);

    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setStyleHint(QFont::SansSerif);
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    const QFont textFont = font();
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics textMetrics(textFont);
    const int line = textMetrics.height();

    // Titles: the chart's on top, the category axis's at the bottom, the value axis's on the left
    // reading upwards.
    p.setPen(Qt::black);
    p.setFont(titleFont);
    const QRect titleRect(area.left(), area.top() + 4, area.width(), titleMetrics.height());
    p.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop, title_);
    p.setFont(textFont);
    const QRect categoryTitleRect(area.left(), area.bottom() - line - 2, area.width(), line);
    p.drawText(categoryTitleRect, Qt::AlignHCenter | Qt::AlignVCenter, categoryTitle_);

    // The value scale.
    const std::size_t rows = values_.size();
    double low = 0.0, high = 0.0;
    if (rows > 0) {
        const auto [mn, mx] = std::minmax_element(values_.begin(), values_.end());
        low = std::min(0.0, *mn);
        high = std::max(0.0, *mx);
    }
    if (!(high > low))
        high = low + 1.0;
    const double step = NiceStep(high - low, 5);
    const double axisLow = std::floor(low / step) * step;
    const double axisHigh = std::ceil(high / step) * step;
    const int tickCount = static_cast<int>(std::lround((axisHigh - axisLow) / step));

    int tickLabelWidth = 0;
    for (int t = 0; t <= tickCount; ++t)
        tickLabelWidth =
            std::max(tickLabelWidth, textMetrics.horizontalAdvance(AxisNumber(axisLow + t * step)));

    const int left = area.left() + line + 6 + tickLabelWidth + 4;
    const int top = titleRect.bottom() + line;
    const int right = area.right() - 10;
    const int bottom = categoryTitleRect.top() - line - 6;
    if (right - left < 4 || bottom - top < 4)
        return;
    const QRect plot(QPoint(left, top), QPoint(right, bottom));
    const int plotWidth = plot.width();
    const double span = axisHigh - axisLow;
    auto yOf = [&](double v) {
        return plot.bottom() -
               static_cast<int>(std::lround((v - axisLow) / span * (plot.height() - 1)));
    };

    p.save();
    p.translate(area.left() + 2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, 0, plot.height(), line), Qt::AlignCenter, valueTitle_);
    p.restore();

    // Grid and tick labels.
    for (int t = 0; t <= tickCount; ++t) {
        const double v = axisLow + t * step;
        const int y = yOf(v);
        p.setPen(QColor(220, 220, 220));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(plot.left() - 4 - tickLabelWidth, y - line / 2, tickLabelWidth, line),
                   Qt::AlignRight | Qt::AlignVCenter, AxisNumber(v));
    }

    // The bars. Row i falls on pixel column i * width / rows; with more rows than columns each
    // column shows the range of its rows.
    const int zeroY = yOf(std::clamp(0.0, axisLow, axisHigh));
    const QColor barColour(40, 90, 170);
    if (rows > 0 && rows <= static_cast<std::size_t>(plotWidth)) {
        for (std::size_t i = 0; i < rows; ++i) {
            const int x0 = plot.left() + static_cast<int>(i * plotWidth / rows);
            const int x1 = plot.left() + static_cast<int>((i + 1) * plotWidth / rows);
            const int barWidth = x1 - x0 > 3 ? x1 - x0 - 1 : std::max(1, x1 - x0);
            const int y = yOf(values_[i]);
            p.fillRect(QRect(x0, std::min(y, zeroY), barWidth, std::abs(zeroY - y) + 1), barColour);
        }
    } else if (rows > 0) {
        std::vector<double> columnLow(static_cast<std::size_t>(plotWidth), 0.0);
        std::vector<double> columnHigh(static_cast<std::size_t>(plotWidth), 0.0);
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t c = i * static_cast<std::size_t>(plotWidth) / rows;
            const double v = values_[i];
            if (v < columnLow[c])
                columnLow[c] = v;
            if (v > columnHigh[c])
                columnHigh[c] = v;
        }
        std::vector<QLine> lines;
        lines.reserve(static_cast<std::size_t>(plotWidth));
        for (int c = 0; c < plotWidth; ++c) {
            const int x = plot.left() + c;
            lines.emplace_back(x, yOf(columnHigh[static_cast<std::size_t>(c)]), x,
                               yOf(columnLow[static_cast<std::size_t>(c)]));
        }
        p.setPen(QPen(barColour, 0));
        p.drawLines(lines.data(), static_cast<int>(lines.size()));
    }

    // Axes.
    p.setPen(Qt::black);
    p.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());
    p.drawLine(plot.left(), zeroY, plot.right(), zeroY);

    // Category labels: every k-th row, k chosen so that the widest label fits between them.
    if (rows > 0) {
        const int labelWidth =
            std::max(textMetrics.horizontalAdvance(QString::fromStdString(labels_.front())),
                     textMetrics.horizontalAdvance(QString::fromStdString(labels_.back()))) +
            8;
        const std::size_t every = std::max<std::size_t>(
            1, (static_cast<std::size_t>(labelWidth) * rows + plotWidth - 1) / plotWidth);
        for (std::size_t i = 0; i < rows; i += every) {
            const int x0 = plot.left() + static_cast<int>(i * plotWidth / rows);
            const int x1 = plot.left() + static_cast<int>((i + 1) * plotWidth / rows);
            const int centre = (x0 + x1) / 2;
            p.drawText(QRect(centre - labelWidth / 2, plot.bottom() + 3, labelWidth, line),
                       Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(labels_[i]));
        }
    }
}
