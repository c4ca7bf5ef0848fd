#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The numbers behind the assessment's two pictures, kept apart from the drawing: the Poisson
// bands around the mean of the points, the histogram of the point counts with the Poisson
// distribution of the same mean, and axis scales with round tick steps.
namespace nivra {

// The mean m of the points and the bands m ± 2√m and m ± 3√m, in which Poisson counts of mean
// m fall about 95 % and 99.7 % of the time. A mean that is not greater than 0 gives bands of
// width 0.
struct PoissonBands {
    double mean = 0.0;
    double low2 = 0.0, high2 = 0.0;
    double low3 = 0.0, high3 = 0.0;
};
PoissonBands poissonBands(std::span<const std::int32_t> counts);

// One bar of the histogram: the points whose count lies in first..last (inclusive), and the
// number of points expected there from Poisson counts of the points' mean.
struct CountBin {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::size_t points = 0;
    double expected = 0.0;
};

// Bars of one whole-number width, at most maxBins of them (at least 1), over every count of the
// points and over the Poisson distribution's mean ± 4 standard deviations, so that its shape
// shows even when the points bunch together. Empty without points.
std::vector<CountBin> countHistogram(std::span<const std::int32_t> counts, std::size_t maxBins);

// An axis from low to high with ticks every `step`, low and high being multiples of the step.
struct AxisScale {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
};

// The smallest scale with a step of 1, 2 or 5 times a power of ten that covers from..to in at
// most maxTicks steps. With wholeSteps the step is at least 1 (for point numbers and counts). An
// empty or reversed range is widened around its value; non-finite input gives 0..1.
AxisScale axisScale(double from, double to, int maxTicks, bool wholeSteps);

// The value scale of the points picture: every count and both bands (the lower ones only down
// to 0 unless a count lies below it).
AxisScale pointsValueScale(std::span<const std::int32_t> counts, const PoissonBands& bands,
                           int maxTicks);

} // namespace nivra
