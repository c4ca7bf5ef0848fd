#include "ui/plots/count_histogram_plot.h"

#include "ui/plots/plot_frame.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace nivra::ui {

namespace {

const QColor kBarColor(120, 160, 215);
const QColor kPoissonColor(210, 100, 0);

// The narrowest bar worth drawing, in pixels.
constexpr int kBarPixels = 14;

} // namespace

CountHistogramPlot::CountHistogramPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CountHistogramPlot::setCounts(std::vector<std::int32_t> counts) {
    counts_ = std::move(counts);
    bins_ = countHistogram(counts_, maxBins());
    update();
}

std::size_t CountHistogramPlot::maxBins() const {
    // The plot area is about the widget less its labels; bars narrower than kBarPixels there
    // would merge into one colour.
    return static_cast<std::size_t>(std::max(1, (width() - 90) / kBarPixels));
}

void CountHistogramPlot::paintEvent(QPaintEvent*) {
    bins_ = countHistogram(counts_, maxBins());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    double top = 1.0;
    for (const CountBin& bin : bins_)
        top = std::max({top, static_cast<double>(bin.points), bin.expected});
    // Room above the tallest bar, so it does not run into the frame.
    top *= 1.05;
    const double from = bins_.empty() ? 0.0 : static_cast<double>(bins_.front().first) - 0.5;
    const double to = bins_.empty() ? 1.0 : static_cast<double>(bins_.back().last) + 0.5;
    const AxisScale xScale = axisScale(from, to, std::max(2, width() / 70), true);
    const AxisScale yScale = axisScale(0.0, top, std::max(2, height() / 45), true);
    PlotFrame frame(painter, rect(), tr("Counts per point"),
                    {{LegendEntry::Kind::Bar, kBarColor, tr("points")},
                     {LegendEntry::Kind::Dot, kPoissonColor, tr("Poisson, same mean")}},
                    xScale, tr("Counts in a point"), yScale, tr("Points"));
    frame.draw();
    const QRect area = frame.plotArea();
    if (bins_.empty()) {
        painter.drawText(area, Qt::AlignCenter, tr("No points"));
        return;
    }

    painter.save();
    painter.setClipRect(area.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(kBarColor.darker(150), 1));
    painter.setBrush(kBarColor);
    for (const CountBin& bin : bins_) {
        if (bin.points == 0)
            continue;
        const QPointF topLeft =
            frame.map(static_cast<double>(bin.first) - 0.5, static_cast<double>(bin.points));
        const QPointF bottomRight = frame.map(static_cast<double>(bin.last) + 0.5, 0.0);
        painter.drawRect(QRectF(topLeft, bottomRight));
    }
    // The expectation at the middle of each bar.
    QPainterPath path;
    std::vector<QPointF> dots;
    for (const CountBin& bin : bins_) {
        const double middle = (static_cast<double>(bin.first) + static_cast<double>(bin.last)) / 2;
        dots.push_back(frame.map(middle, bin.expected));
        if (dots.size() == 1)
            path.moveTo(dots.back());
        else
            path.lineTo(dots.back());
    }
    painter.setPen(QPen(kPoissonColor, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPoissonColor);
    for (const QPointF& dot : dots)
        painter.drawEllipse(dot, 3.0, 3.0);
    painter.restore();
}

} // namespace nivra::ui
