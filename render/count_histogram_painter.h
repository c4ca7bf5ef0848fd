#pragma once

#include "model/assessment_plot.h"

#include <QRect>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class QPainter;

namespace nivra::render {

// The bars that fit a histogram of this width: bars narrower than about 14 pixels would merge
// into one colour.
std::size_t histogramMaxBins(int width);

// Paints how the counts of the points are distributed into bounds: one bar per range of counts
// with the number of points in it, beside the number the Poisson distribution of the same mean
// expects there (dots joined by a line). Returns the bars as drawn.
std::vector<CountBin> paintCountHistogram(QPainter& painter, const QRect& bounds,
                                          std::span<const std::int32_t> counts);

} // namespace nivra::render
