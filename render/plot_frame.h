#pragma once

#include "model/assessment_plot.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <utility>
#include <vector>

class QPainter;

namespace nivra::render {

// One entry of a picture's legend: a sample of the line, band or bar, and its text.
struct LegendEntry {
    enum class Kind { Line, DashedLine, Band, Bar, Dot };
    Kind kind;
    QColor color;
    QString text;
};

// The frame of a picture: a title and a legend above, a value axis on the left and a category
// axis below, each with round ticks, tick labels and an axis title, around the plot area.
// The margins are measured from the painter's font, so no label is cut off at any size: a
// frame only decides where things go; the caller draws the data inside plotArea() with map().
class PlotFrame {
public:
    PlotFrame(QPainter& painter, const QRect& bounds, QString title,
              std::vector<LegendEntry> legend, const AxisScale& xScale, QString xTitle,
              const AxisScale& yScale, QString yTitle);

    // Draws the background, grid, axes, labels, titles and legend.
    void draw();

    QRect plotArea() const { return area_; }
    // The position of a data value in the plot area.
    QPointF map(double x, double y) const;
    double mapX(double x) const;
    double mapY(double y) const;

private:
    void layout();
    void drawLegend(int top);
    int legendWidth() const;

    QPainter& painter_;
    QRect bounds_;
    QString title_;
    std::vector<LegendEntry> legend_;
    AxisScale x_;
    QString xTitle_;
    AxisScale y_;
    QString yTitle_;
    QRect area_;
    int titleHeight_ = 0;
    int legendRows_ = 1;
};

} // namespace nivra::render
