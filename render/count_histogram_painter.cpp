#include "render/count_histogram_painter.h"

#include "render/plot_frame.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace nivra::render {

namespace {

const QColor kBarColor(120, 160, 215);
const QColor kPoissonColor(210, 100, 0);

// The narrowest bar worth drawing, in pixels.
constexpr int kBarPixels = 14;

} // namespace

std::size_t histogramMaxBins(int width) {
    // The plot area is about the picture less its labels.
    return static_cast<std::size_t>(std::max(1, (width - 90) / kBarPixels));
}

std::vector<CountBin> paintCountHistogram(QPainter& painter, const QRect& bounds,
                                          std::span<const std::int32_t> counts) {
    const std::vector<CountBin> bins = countHistogram(counts, histogramMaxBins(bounds.width()));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    double top = 1.0;
    for (const CountBin& bin : bins)
        top = std::max({top, static_cast<double>(bin.points), bin.expected});
    // Room above the tallest bar, so it does not run into the frame.
    top *= 1.05;
    const double from = bins.empty() ? 0.0 : static_cast<double>(bins.front().first) - 0.5;
    const double to = bins.empty() ? 1.0 : static_cast<double>(bins.back().last) + 0.5;
    const AxisScale xScale = axisScale(from, to, std::max(2, bounds.width() / 70), true);
    const AxisScale yScale = axisScale(0.0, top, std::max(2, bounds.height() / 45), true);
    PlotFrame frame(painter, bounds, QStringLiteral("Counts per point"),
                    {{LegendEntry::Kind::Bar, kBarColor, QStringLiteral("points")},
                     {LegendEntry::Kind::Dot, kPoissonColor, QStringLiteral("Poisson, same mean")}},
                    xScale, QStringLiteral("Counts in a point"), yScale, QStringLiteral("Points"));
    frame.draw();
    const QRect area = frame.plotArea();
    if (bins.empty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No points"));
        painter.restore();
        return bins;
    }

    painter.setClipRect(area.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(kBarColor.darker(150), 1));
    painter.setBrush(kBarColor);
    for (const CountBin& bin : bins) {
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
    for (const CountBin& bin : bins) {
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
    return bins;
}

} // namespace nivra::render
