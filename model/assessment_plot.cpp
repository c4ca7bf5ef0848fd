#include "model/assessment_plot.h"

#include "model/quiet_math.h"

#include <boost/math/distributions/poisson.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace nivra {

namespace {

namespace bm = boost::math;

using Quiet = QuietMathPolicy;
using Poisson = bm::poisson_distribution<double, Quiet>;

double meanOf(std::span<const std::int32_t> counts) {
    if (counts.empty())
        return 0.0;
    double sum = 0.0;
    for (std::int32_t count : counts)
        sum += static_cast<double>(count);
    return sum / static_cast<double>(counts.size());
}

// Division rounding toward minus infinity, for bins that start below 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// P(K ≤ k) for Poisson counts K of the given mean; a mean that is not greater than 0 puts
// everything on 0.
double poissonCdf(double mean, std::int64_t k) {
    if (k < 0)
        return 0.0;
    if (!(mean > 0.0))
        return 1.0;
    return bm::cdf(Poisson(mean), static_cast<double>(k));
}

} // namespace

PoissonBands poissonBands(std::span<const std::int32_t> counts) {
    PoissonBands bands;
    const double m = meanOf(counts);
    const double sd = m > 0.0 ? std::sqrt(m) : 0.0;
    bands.mean = m;
    bands.low2 = m - 2.0 * sd;
    bands.high2 = m + 2.0 * sd;
    bands.low3 = m - 3.0 * sd;
    bands.high3 = m + 3.0 * sd;
    return bands;
}

std::vector<CountBin> countHistogram(std::span<const std::int32_t> counts, std::size_t maxBins) {
    if (counts.empty())
        return {};
    maxBins = std::max<std::size_t>(maxBins, 1);
    const auto [minIt, maxIt] = std::minmax_element(counts.begin(), counts.end());
    std::int64_t low = *minIt;
    std::int64_t high = *maxIt;
    const double m = meanOf(counts);
    if (m > 0.0) {
        const double sd = std::sqrt(m);
        low = std::min(low, static_cast<std::int64_t>(std::max(0.0, std::floor(m - 4.0 * sd))));
        high = std::max(high, static_cast<std::int64_t>(std::ceil(m + 4.0 * sd)));
    }

    // Bars start at multiples of their width, so their edges read as round numbers.
    const auto bins = static_cast<std::int64_t>(maxBins);
    std::int64_t width = std::max<std::int64_t>(1, (high - low + bins) / bins);
    while (floorDiv(high, width) - floorDiv(low, width) + 1 > bins)
        ++width;
    const std::int64_t start = floorDiv(low, width) * width;
    const std::size_t count = static_cast<std::size_t>(floorDiv(high, width) - start / width + 1);

    std::vector<CountBin> histogram(count);
    for (std::size_t i = 0; i < count; ++i) {
        CountBin& bin = histogram[i];
        bin.first = start + static_cast<std::int64_t>(i) * width;
        bin.last = bin.first + width - 1;
        bin.expected = static_cast<double>(counts.size()) *
                       (poissonCdf(m, bin.last) - poissonCdf(m, bin.first - 1));
    }
    for (std::int32_t c : counts)
        ++histogram[static_cast<std::size_t>((c - start) / width)].points;
    return histogram;
}

AxisScale axisScale(double from, double to, int maxTicks, bool wholeSteps) {
    if (!std::isfinite(from) || !std::isfinite(to))
        return {};
    if (to < from)
        std::swap(from, to);
    if (to == from) {
        const double pad = wholeSteps || from == 0.0 ? 1.0 : std::abs(from) * 0.1;
        to += pad;
        from = (from >= 0.0 && from - pad < 0.0) ? 0.0 : from - pad;
    }
    const double span = to - from;
    const int ticks = std::max(maxTicks, 1);
    if (!std::isfinite(span))
        return {};
    double magnitude = std::pow(10.0, std::floor(std::log10(span / ticks)));
    for (;;) {
        for (double factor : {1.0, 2.0, 5.0}) {
            double step = factor * magnitude;
            if (wholeSteps)
                step = std::max(step, 1.0);
            const double low = std::floor(from / step) * step;
            const double high = std::ceil(to / step) * step;
            if ((high - low) / step <= ticks + 1e-9)
                return {low, high, step};
        }
        magnitude *= 10.0;
    }
}

AxisScale pointsValueScale(std::span<const std::int32_t> counts, const PoissonBands& bands,
                           int maxTicks) {
    if (counts.empty())
        return axisScale(0.0, 1.0, maxTicks, true);
    const auto [minIt, maxIt] = std::minmax_element(counts.begin(), counts.end());
    const double low = std::min(static_cast<double>(*minIt), std::max(0.0, bands.low3));
    const double high = std::max(static_cast<double>(*maxIt), bands.high3);
    return axisScale(low, high, maxTicks, true);
}

} // namespace nivra
