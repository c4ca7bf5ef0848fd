#include "render/plot_frame.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace nivra::render {

namespace {

constexpr int kGap = 6;          // between labels, and around the frame
constexpr int kTickLength = 4;   // ticks outside the plot area
constexpr int kSampleWidth = 22; // a legend entry's sample

// A tick label: whole numbers without decimals, others with as many as the step needs.
QString tickText(double value, double step) {
    if (std::abs(value) < step * 1e-9)
        value = 0.0;
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(value, 'f', std::clamp(decimals, 0, 9));
}

template <class F> void forEachTick(const AxisScale& scale, F f) {
    const int ticks = static_cast<int>(std::lround((scale.high - scale.low) / scale.step));
    for (int i = 0; i <= ticks; ++i)
        f(scale.low + i * scale.step);
}

} // namespace

PlotFrame::PlotFrame(QPainter& painter, const QRect& bounds, QString title,
                     std::vector<LegendEntry> legend, const AxisScale& xScale, QString xTitle,
                     const AxisScale& yScale, QString yTitle)
    : painter_(painter), bounds_(bounds), title_(std::move(title)), legend_(std::move(legend)),
      x_(xScale), xTitle_(std::move(xTitle)), y_(yScale), yTitle_(std::move(yTitle)) {
    layout();
}

int PlotFrame::legendWidth() const {
    const QFontMetrics fm = painter_.fontMetrics();
    int width = 0;
    for (const LegendEntry& entry : legend_)
        width += kSampleWidth + kGap + fm.horizontalAdvance(entry.text) + 2 * kGap;
    return width;
}

void PlotFrame::layout() {
    const QFontMetrics fm = painter_.fontMetrics();
    const int line = fm.height();
    // The legend goes beside the title when both fit on one line, else on lines of its own.
    QFont bold = painter_.font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title_);
    legendRows_ = legend_.empty()                                                       ? 0
                  : titleWidth + 3 * kGap + legendWidth() <= bounds_.width() - 2 * kGap ? 0
                                                                                        : 1;
    titleHeight_ = line + kGap + legendRows_ * (line + kGap);

    int yLabelWidth = 0;
    forEachTick(y_, [&](double v) {
        yLabelWidth = std::max(yLabelWidth, fm.horizontalAdvance(tickText(v, y_.step)));
    });
    const int left = kGap + line + kGap + yLabelWidth + kTickLength + 2;
    // Half a tick label hangs over the right and the top end of the axes.
    const int right = kGap + fm.horizontalAdvance(tickText(x_.high, x_.step)) / 2 + 2;
    const int top = kGap + titleHeight_ + line / 2;
    const int bottom = kTickLength + 2 + line + kGap + line + kGap;
    area_ = bounds_.adjusted(left, top, -right, -bottom);
    if (area_.width() < 1)
        area_.setWidth(1);
    if (area_.height() < 1)
        area_.setHeight(1);
}

double PlotFrame::mapX(double x) const {
    const double span = x_.high - x_.low;
    return area_.left() + (x - x_.low) / span * area_.width();
}

double PlotFrame::mapY(double y) const {
    const double span = y_.high - y_.low;
    return area_.top() + area_.height() - (y - y_.low) / span * area_.height();
}

QPointF PlotFrame::map(double x, double y) const {
    return {mapX(x), mapY(y)};
}

void PlotFrame::drawLegend(int top) {
    const QFontMetrics fm = painter_.fontMetrics();
    const int line = fm.height();
    int x = bounds_.right() - kGap - legendWidth() + 2 * kGap;
    x = std::max(x, bounds_.left() + kGap);
    const int mid = top + line / 2;
    for (const LegendEntry& entry : legend_) {
        const QRect sample(x, mid - line / 3, kSampleWidth, 2 * (line / 3));
        painter_.save();
        switch (entry.kind) {
        case LegendEntry::Kind::Line:
        case LegendEntry::Kind::DashedLine:
            painter_.setPen(
                QPen(entry.color, 2,
                     entry.kind == LegendEntry::Kind::Line ? Qt::SolidLine : Qt::DashLine));
            painter_.drawLine(sample.left(), mid, sample.right(), mid);
            break;
        case LegendEntry::Kind::Band:
        case LegendEntry::Kind::Bar:
            painter_.setPen(entry.kind == LegendEntry::Kind::Bar ? QPen(entry.color.darker(150))
                                                                 : Qt::NoPen);
            painter_.setBrush(entry.color);
            painter_.drawRect(sample);
            break;
        case LegendEntry::Kind::Dot:
            painter_.setPen(QPen(entry.color, 1.5));
            painter_.setBrush(entry.color);
            painter_.drawLine(sample.left(), mid, sample.right(), mid);
            painter_.drawEllipse(QPointF(sample.center().x(), mid), 3.0, 3.0);
            break;
        }
        painter_.restore();
        x += kSampleWidth + kGap;
        painter_.drawText(QRect(x, top, fm.horizontalAdvance(entry.text) + 2, line),
                          Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        x += fm.horizontalAdvance(entry.text) + 2 * kGap;
    }
}

void PlotFrame::draw() {
    const QFontMetrics fm = painter_.fontMetrics();
    const int line = fm.height();
    painter_.save();
    painter_.fillRect(bounds_, Qt::white);
    painter_.fillRect(area_, QColor(250, 250, 250));

    // Title at the top left, the legend to its right or on the line below.
    const QFont plain = painter_.font();
    QFont bold = plain;
    bold.setBold(true);
    painter_.setFont(bold);
    painter_.setPen(Qt::black);
    const QRect titleRect(bounds_.left() + kGap, bounds_.top() + kGap, bounds_.width() - 2 * kGap,
                          line);
    painter_.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title_);
    painter_.setFont(plain);
    if (!legend_.empty())
        drawLegend(bounds_.top() + kGap + legendRows_ * (line + kGap));

    // Grid and tick labels.
    const QPen grid(QColor(225, 225, 225), 1);
    const QPen axis(QColor(60, 60, 60), 1);
    forEachTick(y_, [&](double v) {
        const int y = qRound(mapY(v));
        painter_.setPen(grid);
        painter_.drawLine(area_.left(), y, area_.right(), y);
        painter_.setPen(axis);
        painter_.drawLine(area_.left() - kTickLength, y, area_.left(), y);
        const QString text = tickText(v, y_.step);
        painter_.drawText(QRect(bounds_.left(), y - line / 2,
                                area_.left() - kTickLength - 2 - bounds_.left(), line),
                          Qt::AlignRight | Qt::AlignVCenter, text);
    });
    // Category labels: as many as fit side by side, always the first and the last.
    int lastRight = std::numeric_limits<int>::min();
    const int ticks = static_cast<int>(std::lround((x_.high - x_.low) / x_.step));
    int every = 1;
    int widest = 0;
    forEachTick(x_, [&](double v) {
        widest = std::max(widest, fm.horizontalAdvance(tickText(v, x_.step)));
    });
    while (ticks / every > 0 && area_.width() / (ticks / every + 1) < widest + kGap)
        ++every;
    for (int i = 0; i <= ticks; ++i) {
        const double v = x_.low + i * x_.step;
        const int x = qRound(mapX(v));
        painter_.setPen(grid);
        painter_.drawLine(x, area_.top(), x, area_.bottom());
        painter_.setPen(axis);
        painter_.drawLine(x, area_.bottom(), x, area_.bottom() + kTickLength);
        if (i % every != 0)
            continue;
        const QString text = tickText(v, x_.step);
        const int width = fm.horizontalAdvance(text);
        if (x - width / 2 <= lastRight + kGap)
            continue;
        painter_.drawText(
            QRect(x - width / 2 - 1, area_.bottom() + kTickLength + 2, width + 2, line),
            Qt::AlignCenter, text);
        lastRight = x + width / 2;
    }
    painter_.setPen(axis);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(area_);

    // Axis titles: below the category labels, and turned along the value axis.
    painter_.setPen(Qt::black);
    painter_.drawText(QRect(area_.left(), area_.bottom() + kTickLength + 2 + line + kGap / 2,
                            area_.width(), line),
                      Qt::AlignCenter, xTitle_);
    painter_.translate(bounds_.left() + kGap, area_.center().y());
    painter_.rotate(-90.0);
    painter_.drawText(QRect(-area_.height() / 2, 0, area_.height(), line), Qt::AlignCenter,
                      yTitle_);
    painter_.restore();
}

} // namespace nivra::render
