#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The assessment of a measurement beyond the sixteen counting statistics: the characteristic
// limits of the net activity (decision threshold, detection limit, best estimate and coverage
// interval, after ISO 11929-1) and a chi-square test of whether the points scatter like Poisson
// counts of one sample.
//
// The inputs come from one record or one range of its points, as the All Data and ROI statistics
// take them: n points of dwell d hours give the gross count time t_g = n·d; the gross counts N_g
// are the sum of the points; the background rate r_0 (counts per hour; a rate that is not
// greater than 0 counts as no background) was counted over t_0 hours (the background hours, or
// t_g when they are 0); the calibration factor is w = 1 / (sample area × efficiency).
//
// Nothing is cached and nothing is thrown: inputs that make a division by zero (no points, a
// dwell, area or efficiency of 0) give infinite or not-a-number figures, formatted like any
// other value.
namespace nivra {
class AssayData;
struct AssayConfig;
struct CounterConfig;

// The probabilities and the calibration uncertainty the assessment works with.
struct AssessmentSettings {
    double alpha = 0.05; // of deciding "detected" on a sample without activity
    double beta = 0.05;  // of missing activity as large as the detection limit
    double gamma = 0.05; // of the true value lying outside the coverage interval
    double relativeCalibrationUncertainty = 0.0; // u_rel(w), the relative standard uncertainty
};

// Why the settings cannot be used ("alpha must be greater than 0 and less than 0.5"), or ""
// when they can: alpha and beta lie strictly between 0 and 0.5, gamma strictly between 0 and 1,
// and the calibration uncertainty is a finite number of 0 or more.
std::string assessmentSettingsProblem(const AssessmentSettings& settings);

enum class DispersionVerdict { Pass, OverDispersed, UnderDispersed, NotApplicable };

struct Assessment {
    // Inputs, as used.
    std::size_t points = 0;         // n
    double countTime = 0.0;         // t_g = n·d, hours
    double grossCounts = 0.0;       // N_g
    double backgroundRate = 0.0;    // r_0, counts per hour; 0 when there is no background
    double backgroundTime = 0.0;    // t_0, hours
    double calibrationFactor = 0.0; // w, 1/cm² (efficiency-corrected)
    double relativeCalibrationUncertainty = 0.0; // u_rel(w)

    // Characteristic limits, alphas per cm² and hour.
    double netRate = 0.0;           // y = w·(N_g/t_g − r_0)
    double uncertainty = 0.0;       // u(y)
    double decisionThreshold = 0.0; // y*
    bool detected = false;          // y > y*
    // y#; none when 1 − k(1−β)²·u_rel(w)² ≤ 0, where no activity is certain to be seen.
    std::optional<double> detectionLimit;
    double bestEstimate = 0.0;            // ŷ, never negative
    double bestEstimateUncertainty = 0.0; // u(ŷ)
    double coverageLow = 0.0;             // the coverage interval, within 0 .. ∞
    double coverageHigh = 0.0;

    // Dispersion of the points: chi-square and its distribution function at n − 1 degrees of
    // freedom; both are absent when the test does not apply (fewer than 2 points, or a mean
    // that is not greater than 0).
    std::optional<double> chiSquare;
    std::size_t degreesOfFreedom = 0;
    std::optional<double> probability;
    DispersionVerdict verdict = DispersionVerdict::NotApplicable;
};

// Fills the characteristic limits (netRate to coverageHigh) from the inputs already in the
// assessment (countTime, grossCounts, backgroundRate, backgroundTime, calibrationFactor,
// relativeCalibrationUncertainty). The dispersion figures are left as they are.
void assessActivity(Assessment& assessment, const AssessmentSettings& settings);

// The assessment of these counts under the configurations' dwell, background, sample area and
// efficiency. The settings are taken as they are (see assessmentSettingsProblem).
Assessment assess(std::span<const std::int32_t> counts, const AssayConfig& assayConfig,
                  const CounterConfig& counterConfig, const AssessmentSettings& settings = {});

// All points of a record (the All Data view), from one consistent state of it.
Assessment assess(const AssayData& record, const AssessmentSettings& settings = {});

// Points first..last of a record (1-based, inclusive; clamped to the record like the ROI
// statistics' range extract).
Assessment assess(const AssayData& record, int first, int last,
                  const AssessmentSettings& settings = {});

// "pass", "over-dispersed", "under-dispersed" or "not applicable".
const char* dispersionVerdictText(DispersionVerdict verdict);

// One figure for the operator: its label and its value text.
struct AssessmentRow {
    const char* label;
    std::string value;
};

// The seventeen figures in their fixed order, from "Points" to "Dispersion verdict". Real
// numbers are formatted "%.6g", the numbers of points, counts and degrees of freedom as whole
// numbers; an absent detection limit, chi-square or probability reads "none".
std::vector<AssessmentRow> assessmentRows(const Assessment& assessment);

// The same as lines "label: value".
std::vector<std::string> assessmentLines(const Assessment& assessment);

} // namespace nivra
