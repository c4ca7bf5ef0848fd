#include "ui/main_window/chart_widget.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace nivra::ui {

namespace {

constexpr int kSampleRows = 5;
constexpr std::int32_t kSampleCounts[kSampleRows] = {9, 4, 7, 11, 6};
constexpr const char* kSampleLabels[kSampleRows] = {"R1", "R2", "R3", "R4", "R5"};

// A step of 1, 2 or 5 times a power of ten giving about `target` intervals over span.
double niceStep(double span, int target) {
    const double raw = span / target;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double nice = fraction <= 1.0   ? 1.0
                        : fraction <= 2.0 ? 2.0
                        : fraction <= 5.0 ? 5.0
                                          : 10.0;
    return nice * magnitude;
}

QString axisNumber(double value) {
    // Whole numbers without decimals, others with as many as they need (at most 6 significant).
    if (std::fabs(value - std::round(value)) < 1e-9)
        return QString::number(static_cast<long long>(std::llround(value)));
    return QString::number(value, 'g', 6);
}

} // namespace

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent), title_(QStringLiteral("Corvane Nivra")),
      categoryTitle_(QStringLiteral("Channel No. :  No. of Counts")),
      valueTitle_(QStringLiteral("Alpha Counts")),
      counts_(std::begin(kSampleCounts), std::end(kSampleCounts)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartWidget::setPoints(std::span<const std::int32_t> counts, int firstNumber) {
    sample_ = false;
    // assign keeps the array's capacity: a run's chart grows by one point per dwell.
    counts_.assign(counts.begin(), counts.end());
    firstNumber_ = firstNumber;
    update();
}

std::int32_t ChartWidget::value(int row) const {
    return hasRow(row) ? counts_[static_cast<std::size_t>(row - 1)] : 0;
}

std::string ChartWidget::label(int row) const {
    if (!hasRow(row))
        return {};
    if (sample_)
        return kSampleLabels[row - 1];
    // A point number takes at most 11 characters, a count at most 11.
    char label[32];
    const std::int64_t number = static_cast<std::int64_t>(firstNumber_) + row - 1;
    char* colon = std::to_chars(label, label + 20, number).ptr;
    *colon = ':';
    char* end = std::to_chars(colon + 1, label + sizeof label, value(row)).ptr;
    return std::string(label, end);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter, rect());
}

void ChartWidget::draw(QPainter& p, const QRect& area) {
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
    const std::size_t rows = counts_.size();
    double low = 0.0, high = 0.0;
    if (rows > 0) {
        const auto [mn, mx] = std::minmax_element(counts_.begin(), counts_.end());
        low = std::min(0.0, static_cast<double>(*mn));
        high = std::max(0.0, static_cast<double>(*mx));
    }
    if (!(high > low))
        high = low + 1.0;
    const double step = niceStep(high - low, 5);
    const double axisLow = std::floor(low / step) * step;
    const double axisHigh = std::ceil(high / step) * step;
    const int tickCount = static_cast<int>(std::lround((axisHigh - axisLow) / step));

    int tickLabelWidth = 0;
    for (int t = 0; t <= tickCount; ++t)
        tickLabelWidth =
            std::max(tickLabelWidth, textMetrics.horizontalAdvance(axisNumber(axisLow + t * step)));

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
                   Qt::AlignRight | Qt::AlignVCenter, axisNumber(v));
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
            const int y = yOf(counts_[i]);
            p.fillRect(QRect(x0, std::min(y, zeroY), barWidth, std::abs(zeroY - y) + 1), barColour);
        }
    } else if (rows > 0) {
        // Column c holds the rows i with i * width / rows == c: the rows from
        // ceil(c * rows / width) up to the next column's first, one contiguous stretch, so each
        // column is one pass over its own counts and no row needs a division. Every column
        // reaches down (or up) to 0, as a bar does.
        const std::size_t width = static_cast<std::size_t>(plotWidth);
        std::vector<QLine> lines;
        lines.reserve(width);
        const std::int32_t* data = counts_.data();
        std::size_t begin = 0;
        for (std::size_t c = 0; c < width; ++c) {
            const std::size_t end = ((c + 1) * rows + width - 1) / width;
            std::int32_t columnLow = 0, columnHigh = 0;
            for (std::size_t i = begin; i < end; ++i) {
                columnLow = std::min(columnLow, data[i]);
                columnHigh = std::max(columnHigh, data[i]);
            }
            begin = end;
            const int x = plot.left() + static_cast<int>(c);
            lines.emplace_back(x, yOf(columnHigh), x, yOf(columnLow));
        }
        p.setPen(QPen(barColour, 0));
        p.drawLines(lines.data(), static_cast<int>(lines.size()));
    }

    // Axes. The value axis stands just left of the plot: on its first pixel column it would hide
    // the first point's bar whenever the bars are only a pixel or two wide.
    p.setPen(Qt::black);
    p.drawLine(plot.left() - 1, plot.top(), plot.left() - 1, plot.bottom());
    p.drawLine(plot.left() - 1, zeroY, plot.right(), zeroY);

    // Category labels: every k-th row, k chosen so that the widest label fits between them.
    if (rows > 0) {
        const int labelWidth =
            std::max(textMetrics.horizontalAdvance(QString::fromStdString(label(1))),
                     textMetrics.horizontalAdvance(QString::fromStdString(label(rowCount())))) +
            8;
        const std::size_t every = std::max<std::size_t>(
            1, (static_cast<std::size_t>(labelWidth) * rows + plotWidth - 1) / plotWidth);
        for (std::size_t i = 0; i < rows; i += every) {
            const int x0 = plot.left() + static_cast<int>(i * plotWidth / rows);
            const int x1 = plot.left() + static_cast<int>((i + 1) * plotWidth / rows);
            const int centre = (x0 + x1) / 2;
            p.drawText(QRect(centre - labelWidth / 2, plot.bottom() + 3, labelWidth, line),
                       Qt::AlignHCenter | Qt::AlignTop,
                       QString::fromStdString(label(static_cast<int>(i) + 1)));
        }
    }
}

} // namespace nivra::ui
