#pragma once

#include "model/assessment_plot.h"

#include <QRect>
#include <cstdint>
#include <span>

class QPainter;

namespace nivra::render {

// Paints the points of a measurement against time into bounds: each point's count over its
// point number (firstNumber, firstNumber + 1, ...), with the mean of the points and the Poisson
// bands m ± 2√m and m ± 3√m. Points outside the 3√m band are red: they are the ones to look at
// when the dispersion test fails. The same picture on the screen and in a report.
void paintPoints(QPainter& painter, const QRect& bounds, std::span<const std::int32_t> counts,
                 int firstNumber, const PoissonBands& bands);

} // namespace nivra::render
