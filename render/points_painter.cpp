#include "render/points_painter.h"

#include "render/plot_frame.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace nivra::render {

namespace {

const QColor kPointColor(31, 78, 160);
const QColor kOutlierColor(200, 30, 30);
const QColor kMeanColor(20, 120, 50);
const QColor kBand2Color(230, 130, 0);
const QColor kBand3Color(200, 40, 40);

} // namespace

void paintPoints(QPainter& painter, const QRect& bounds, std::span<const std::int32_t> counts,
                 int firstNumber, const PoissonBands& bands) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const int n = static_cast<int>(counts.size());
    const double lastNumber = static_cast<double>(firstNumber) + std::max(n - 1, 0);
    // Half a point of room at either end, so the first and the last point stand clear of the
    // frame.
    const AxisScale xScale =
        axisScale(firstNumber - 0.5, lastNumber + 0.5, std::max(2, bounds.width() / 70), true);
    const AxisScale yScale = pointsValueScale(counts, bands, std::max(2, bounds.height() / 45));
    PlotFrame frame(
        painter, bounds, QStringLiteral("Points against time"),
        {{LegendEntry::Kind::Dot, kPointColor, QStringLiteral("points")},
         {LegendEntry::Kind::Line, kMeanColor, QStringLiteral("mean m")},
         {LegendEntry::Kind::DashedLine, kBand2Color, QString::fromUtf8("m \u00b1 2\u221am")},
         {LegendEntry::Kind::DashedLine, kBand3Color, QString::fromUtf8("m \u00b1 3\u221am")}},
        xScale, QStringLiteral("Point number"), yScale, QStringLiteral("Counts"));
    frame.draw();
    const QRect area = frame.plotArea();
    if (n == 0) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No points"));
        painter.restore();
        return;
    }

    painter.setClipRect(area.adjusted(1, 1, -1, -1));
    const auto band = [&](double low, double high, const QColor& color) {
        const double top = frame.mapY(high), bottom = frame.mapY(low);
        painter.fillRect(QRectF(area.left(), top, area.width(), bottom - top), color);
    };
    band(bands.low3, bands.high3,
         QColor(kBand3Color.red(), kBand3Color.green(), kBand3Color.blue(), 22));
    band(bands.low2, bands.high2,
         QColor(kBand2Color.red(), kBand2Color.green(), kBand2Color.blue(), 34));
    const auto level = [&](double value, const QColor& color, Qt::PenStyle style) {
        painter.setPen(QPen(color, 1.5, style));
        const double y = frame.mapY(value);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    };
    level(bands.low3, kBand3Color, Qt::DashLine);
    level(bands.high3, kBand3Color, Qt::DashLine);
    level(bands.low2, kBand2Color, Qt::DashLine);
    level(bands.high2, kBand2Color, Qt::DashLine);
    level(bands.mean, kMeanColor, Qt::SolidLine);

    // The points in their order, joined, so a drift or a step shows as well as a single burst.
    const double spacing = area.width() / std::max(1.0, xScale.high - xScale.low);
    const double radius = std::clamp(spacing / 3.0, 1.5, 3.5);
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        const QPointF p = frame.map(firstNumber + i, counts[static_cast<std::size_t>(i)]);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    painter.setPen(QPen(QColor(120, 140, 180), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    // The dots are never clipped: a count on the edge of the scale shows whole.
    painter.setClipping(false);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < n; ++i) {
        const double count = counts[static_cast<std::size_t>(i)];
        const bool outside = count < bands.low3 || count > bands.high3;
        painter.setBrush(outside ? kOutlierColor : kPointColor);
        painter.drawEllipse(frame.map(firstNumber + i, count), radius, radius);
    }
    painter.restore();
}

} // namespace nivra::render
