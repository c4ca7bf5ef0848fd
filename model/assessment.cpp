#include "model/assessment.h"

#include "base/value_encoding.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/quiet_math.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>

namespace nivra {

namespace {

namespace bm = boost::math;

using Quiet = QuietMathPolicy;
using Normal = bm::normal_distribution<double, Quiet>;
using ChiSquared = bm::chi_squared_distribution<double, Quiet>;

// Below this z the quantities of the normal distribution's lower tail come from Laplace's
// continued fraction instead of φ(z) and Φ(z): Φ(z) underflows near z = -37, and the figures
// formed from it lose their digits to cancellation long before.
constexpr double kTailStart = -10.0;

// With a = −z: Φ(z)/φ(z) = 1/(a + d), d = 1/(a + e), e = 2/(a + f), f = 3/(a + ...). Forty
// levels give full double precision for a ≥ 5.
struct NormalTail {
    double a, d, e, f;
};

NormalTail normalTail(double z) {
    NormalTail tail{-z, 0.0, 0.0, 0.0};
    double level = 0.0;
    for (int k = 40; k >= 1; --k) {
        level = k / (tail.a + level);
        if (k == 3)
            tail.f = level;
        else if (k == 2)
            tail.e = level;
    }
    tail.d = level;
    return tail;
}

bool inTail(double z) {
    return z < kTailStart;
}

// The standard normal distribution truncated to values ≥ −z: its mean z + R and its variance
// 1 − R·(z + R), where R = φ(z)/Φ(z). In the tail they are d and d²·(1 + e·(e − f)).
struct TruncatedMoments {
    double shift; // R, the mean minus z
    double mean;
    double variance;
};

TruncatedMoments truncatedMoments(double z) {
    if (!inTail(z)) {
        const double ratio = bm::pdf(Normal(), z) / bm::cdf(Normal(), z);
        // Rounding may leave a tiny negative variance.
        return {ratio, z + ratio, std::max(0.0, 1.0 - ratio * (z + ratio))};
    }
    const NormalTail t = normalTail(z);
    return {t.a + t.d, t.d, t.d * t.d * (1.0 + t.e * (t.e - t.f))};
}

// δ = k(c·Φ(z)) − z for a tail z and 0 < c < 1: Newton's method on
// ln Φ(z + δ) − ln Φ(z) = ln c, whose left side is δ·(2a − δ)/2 − ln((a' + d')/(a + d)) with
// a' = a − δ, free of cancellation. The left side is concave and increasing in δ, so the steps
// from ln c / R(z), which lies below the root, rise to it without overshooting.
double tailQuantileShift(double z, double c) {
    const NormalTail at = normalTail(z);
    const double logC = std::log(c);
    double delta = logC / (at.a + at.d);
    for (int i = 0; i < 100; ++i) {
        const NormalTail moved = normalTail(z + delta);
        const double difference =
            0.5 * delta * (2.0 * at.a - delta) - std::log((moved.a + moved.d) / (at.a + at.d));
        const double step = (difference - logC) / (moved.a + moved.d);
        delta -= step;
        if (!(std::fabs(step) > 1e-15 * std::fabs(delta)))
            break;
    }
    return delta;
}

// y − u·k(c·ω) with ω = Φ(z), z = y/u: a bound of the coverage interval.
double coverageBound(double y, double u, double z, double c) {
    if (!inTail(z))
        return y - u * bm::quantile(Normal(), c * bm::cdf(Normal(), z));
    return -u * tailQuantileShift(z, c); // y − u·(z + δ) with y = u·z
}

// k(x) for x = 1 − tail: the upper quantile, without the rounding of 1 − tail.
double upperQuantile(double tail) {
    return bm::quantile(bm::complement(Normal(), tail));
}

} // namespace

void assessActivity(Assessment& a, const AssessmentSettings& settings) {
    const double w = a.calibrationFactor;
    const double urel = a.relativeCalibrationUncertainty;
    const double tg = a.countTime;
    const double r0 = a.backgroundRate;
    // The background's variance per hour², r_0/t_0: without a background it is 0 whatever the
    // background time.
    const double backgroundTerm = r0 > 0.0 ? r0 / a.backgroundTime : 0.0;

    a.netRate = w * (a.grossCounts / tg - r0);
    const double y = a.netRate;
    const double u =
        std::sqrt(w * w * (a.grossCounts / (tg * tg) + backgroundTerm) + y * y * urel * urel);
    a.uncertainty = u;

    // ũ(0)² = w²·(r_0/t_g + r_0/t_0); ũ(ỹ)² adds w·ỹ/t_g + ỹ²·u_rel².
    const double u0 = r0 > 0.0 ? w * std::sqrt(r0 / tg + backgroundTerm) : 0.0;
    const double kAlpha = upperQuantile(settings.alpha);
    a.decisionThreshold = kAlpha * u0;
    a.detected = y > a.decisionThreshold;

    // y# = y* + k·ũ(y#) squared: (1 − k²u_rel²)·y#² − (2y* + k²w/t_g)·y# + y*² − k²ũ(0)² = 0.
    // Its value at y* is −k²ũ(y*)² ≤ 0, so y* lies between the roots and the larger root is
    // the solution.
    const double kBeta = upperQuantile(settings.beta);
    const double quadratic = 1.0 - kBeta * kBeta * urel * urel;
    if (quadratic > 0.0) {
        const double ys = a.decisionThreshold;
        const double linear = 2.0 * ys + kBeta * kBeta * w / tg;
        const double constant = ys * ys - kBeta * kBeta * u0 * u0;
        const double discriminant = std::max(0.0, linear * linear - 4.0 * quadratic * constant);
        a.detectionLimit = (linear + std::sqrt(discriminant)) / (2.0 * quadratic);
    }

    // Best estimate and coverage interval: the distribution of the measurand truncated to the
    // values a true activity can have (≥ 0), so that a blank below its background still gives a
    // positive estimate and an interval above 0.
    if (u == 0.0) {
        a.bestEstimate = y;
        a.bestEstimateUncertainty = 0.0;
        a.coverageLow = a.coverageHigh = y;
        return;
    }
    // ŷ = y + u·R and u(ŷ)² = u² − (ŷ − y)·ŷ, with R = exp(−z²/2) / (ω·√(2π)), are u times
    // the mean and u² times the variance of the truncated standard normal distribution.
    const double z = y / u;
    const TruncatedMoments moments = truncatedMoments(z);
    a.bestEstimate = inTail(z) ? u * moments.mean : y + u * moments.shift;
    a.bestEstimateUncertainty = u * std::sqrt(moments.variance);
    // From y − k(p)·u to y + k(q)·u with p = ω·(1 − γ/2) and q = 1 − ω·γ/2, where
    // k(1 − ω·γ/2) = −k(ω·γ/2).
    a.coverageLow = coverageBound(y, u, z, 1.0 - settings.gamma / 2.0);
    a.coverageHigh = coverageBound(y, u, z, settings.gamma / 2.0);
}

namespace {

void assessDispersion(Assessment& a, std::span<const std::int32_t> counts) {
    const std::size_t n = counts.size();
    a.degreesOfFreedom = n > 0 ? n - 1 : 0;
    const double mean = a.grossCounts / static_cast<double>(n);
    if (n < 2 || !(mean > 0.0)) {
        a.verdict = DispersionVerdict::NotApplicable;
        return;
    }
    double sum = 0.0;
    for (std::int32_t count : counts) {
        const double deviation = static_cast<double>(count) - mean;
        sum += deviation * deviation;
    }
    const double chiSquare = sum / mean;
    const double p = bm::cdf(ChiSquared(static_cast<double>(a.degreesOfFreedom)), chiSquare);
    a.chiSquare = chiSquare;
    a.probability = p;
    if (p > 0.975)
        a.verdict = DispersionVerdict::OverDispersed;
    else if (p < 0.025)
        a.verdict = DispersionVerdict::UnderDispersed;
    else
        a.verdict = DispersionVerdict::Pass;
}

std::string real(double value) {
    return formatC("%.6g", value);
}

std::string realOrNone(const std::optional<double>& value) {
    return value ? real(*value) : std::string("none");
}

} // namespace

std::string assessmentSettingsProblem(const AssessmentSettings& settings) {
    // Written so that not-a-number fails every test.
    if (!(settings.alpha > 0.0 && settings.alpha < 0.5))
        return "alpha must be greater than 0 and less than 0.5";
    if (!(settings.beta > 0.0 && settings.beta < 0.5))
        return "beta must be greater than 0 and less than 0.5";
    if (!(settings.gamma > 0.0 && settings.gamma < 1.0))
        return "gamma must be greater than 0 and less than 1";
    if (!(settings.relativeCalibrationUncertainty >= 0.0 &&
          std::isfinite(settings.relativeCalibrationUncertainty)))
        return "the relative uncertainty of w must be a number of 0 or more";
    return {};
}

Assessment assess(std::span<const std::int32_t> counts, const AssayConfig& assayConfig,
                  const CounterConfig& counterConfig, const AssessmentSettings& settings) {
    Assessment a;
    a.points = counts.size();
    a.countTime =
        static_cast<double>(a.points) * static_cast<double>(assayConfig.dwellSpan()) / 3600.0;
    for (std::int32_t count : counts)
        a.grossCounts += static_cast<double>(count);
    a.backgroundRate = assayConfig.backgroundRate > 0.0 ? assayConfig.backgroundRate : 0.0;
    a.backgroundTime =
        assayConfig.backgroundHours != 0.0 ? assayConfig.backgroundHours : a.countTime;
    a.calibrationFactor =
        1.0 / (static_cast<double>(assayConfig.sampleArea) * counterConfig.detectorEfficiency);
    a.relativeCalibrationUncertainty = settings.relativeCalibrationUncertainty;
    assessActivity(a, settings);
    assessDispersion(a, counts);
    return a;
}

Assessment assess(const AssayData& record, const AssessmentSettings& settings) {
    return assess(record, 1, static_cast<int>(record.pointCount()), settings);
}

Assessment assess(const AssayData& record, int first, int last,
                  const AssessmentSettings& settings) {
    // One extract is one consistent state, even while a run appends points.
    const std::unique_ptr<AssayData> extract = record.extractRange(first, last);
    const std::vector<std::int32_t> counts = extract->counts();
    return assess(counts, extract->assayConfig(), extract->counterConfig(), settings);
}

const char* dispersionVerdictText(DispersionVerdict verdict) {
    switch (verdict) {
    case DispersionVerdict::Pass:
        return "pass";
    case DispersionVerdict::OverDispersed:
        return "over-dispersed";
    case DispersionVerdict::UnderDispersed:
        return "under-dispersed";
    case DispersionVerdict::NotApplicable:
        break;
    }
    return "not applicable";
}

std::vector<AssessmentRow> assessmentRows(const Assessment& a) {
    return {
        {"Points", formatC("%zu", a.points)},
        {"Count time (h)", real(a.countTime)},
        {"Gross counts", formatC("%.0f", a.grossCounts)},
        {"Background rate (1/h)", real(a.backgroundRate)},
        {"Background time (h)", real(a.backgroundTime)},
        {"Net rate (1/(cm2 h))", real(a.netRate)},
        {"Standard uncertainty", real(a.uncertainty)},
        {"Decision threshold", real(a.decisionThreshold)},
        {"Detection limit", realOrNone(a.detectionLimit)},
        {"Detected", a.detected ? "yes" : "no"},
        {"Best estimate", real(a.bestEstimate)},
        {"Best estimate uncertainty", real(a.bestEstimateUncertainty)},
        {"Coverage interval", real(a.coverageLow) + " .. " + real(a.coverageHigh)},
        {"Dispersion chi2", realOrNone(a.chiSquare)},
        {"Dispersion dof", formatC("%zu", a.degreesOfFreedom)},
        {"Dispersion P", realOrNone(a.probability)},
        {"Dispersion verdict", dispersionVerdictText(a.verdict)},
    };
}

std::vector<std::string> assessmentLines(const Assessment& assessment) {
    std::vector<std::string> lines;
    for (const AssessmentRow& row : assessmentRows(assessment))
        lines.push_back(std::string(row.label) + ": " + row.value);
    return lines;
}

} // namespace nivra
