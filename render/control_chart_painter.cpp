#include "render/control_chart_painter.h"

#include "render/plot_frame.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace nivra::render {

namespace {

const QColor kPointColor(32, 80, 160);
const QColor kFlaggedColor(192, 0, 0);
const QColor kMeanColor(0, 0, 0);
const QColor kWarningColor(224, 128, 0);
const QColor kActionColor(192, 0, 0);

// The z range: at least ±4 so that the limits always show, wider for runs beyond it, up to ±10.
double zExtent(const ControlChart& chart) {
    double extent = 4;
    for (const ChartPoint& point : chart.points)
        if (std::isfinite(point.z))
            extent = std::max(extent, std::min(10.0, std::ceil(std::fabs(point.z) + 0.5)));
    return extent;
}

} // namespace

void paintControlChart(QPainter& painter, const QRect& bounds, const ControlChart& chart,
                       const QString& title) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const int n = static_cast<int>(chart.points.size());
    const double extent = zExtent(chart);
    const AxisScale xScale =
        axisScale(0.5, std::max(n, 1) + 0.5, std::max(2, bounds.width() / 70), true);
    const AxisScale yScale = axisScale(-extent, extent, std::max(2, bounds.height() / 45), true);
    PlotFrame frame(
        painter, bounds, title,
        {{LegendEntry::Kind::Line, kMeanColor,
          QStringLiteral("mean %1/h").arg(chart.meanRate, 0, 'f', 4)},
         {LegendEntry::Kind::DashedLine, kWarningColor, QString::fromUtf8("warning \u00b12")},
         {LegendEntry::Kind::Line, kActionColor, QString::fromUtf8("action \u00b13")},
         {LegendEntry::Kind::Dot, kFlaggedColor, QStringLiteral("rule broken")}},
        xScale, QStringLiteral("Run (in time order)"), yScale, QStringLiteral("z"));
    frame.draw();
    const QRect area = frame.plotArea();
    if (n == 0) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No runs"));
        painter.restore();
        return;
    }

    const auto level = [&](double z, const QColor& color, Qt::PenStyle style) {
        painter.setPen(QPen(color, 1.5, style));
        const double y = frame.mapY(z);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    };
    level(3, kActionColor, Qt::SolidLine);
    level(-3, kActionColor, Qt::SolidLine);
    level(2, kWarningColor, Qt::DashLine);
    level(-2, kWarningColor, Qt::DashLine);
    level(0, kMeanColor, Qt::SolidLine);

    const auto position = [&](int i) {
        const double z = chart.points[static_cast<std::size_t>(i)].z;
        return frame.map(i + 1, std::clamp(std::isfinite(z) ? z : 0.0, -extent, extent));
    };
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            path.moveTo(position(i));
        else
            path.lineTo(position(i));
    }
    painter.setPen(QPen(QColor(112, 144, 192), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);

    QFont small = painter.font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    const QFontMetrics fm(small);
    for (int i = 0; i < n; ++i) {
        const ChartPoint& point = chart.points[static_cast<std::size_t>(i)];
        const QPointF p = position(i);
        const bool flagged = point.flagged();
        painter.setPen(Qt::NoPen);
        painter.setBrush(flagged ? kFlaggedColor : kPointColor);
        const double radius = flagged ? 4.5 : 3.0;
        painter.drawEllipse(p, radius, radius);
        if (!flagged)
            continue;
        // The flags above the point, or below it when the point is at the top of the scale.
        const QString flags = QString::fromStdString(chartFlagsText(point));
        const int width = fm.horizontalAdvance(flags) + 2;
        const bool below = p.y() - radius - fm.height() < area.top();
        const QRectF box(p.x() - width / 2.0,
                         below ? p.y() + radius + 1 : p.y() - radius - 1 - fm.height(), width,
                         fm.height());
        painter.setPen(kFlaggedColor);
        painter.drawText(box, Qt::AlignCenter, flags);
    }
    painter.restore();
}

} // namespace nivra::render
