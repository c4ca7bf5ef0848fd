#pragma once

#include "model/control_chart.h"

#include <QRect>
#include <QString>

class QPainter;

namespace nivra::render {

// Paints a counter's control chart into bounds: the z of each run in time order (run 1 the
// oldest), the centre line (z = 0, the mean rate of the reference runs), the warning (±2) and
// action (±3) limits, and the runs that break a rule in red with their flags above them. The
// limits are named in the legend, never beside the value axis. The z axis reaches at least ±4
// and at most ±10; runs further out sit on its edge.
void paintControlChart(QPainter& painter, const QRect& bounds, const ControlChart& chart,
                       const QString& title);

} // namespace nivra::render
