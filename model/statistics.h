#pragma once

#include "model/statistic.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The sixteen counting statistics of an assay record. Nothing is cached: every value is computed
// from the record when it is asked for. Divisions by a zero count time, area, efficiency or
// point count are carried out in IEEE arithmetic; their infinite or not-a-number results are
// formatted like any other value (inf, -inf, nan, -nan).
namespace nivra {
class AssayData;
struct AssayConfig;
struct CounterConfig;
class StatsShow;

// Everything the statistics take from one record, gathered from one consistent state.
struct StatisticsInputs {
    std::size_t pointCount = 0;     // N
    double sum = 0.0;               // S, the counts added in point order
    double standardDeviation = 0.0; // only when gathered with the deviation
    double countTime = 0.0;         // ts, the total time in hours
    double backgroundTime = 0.0;    // tb, the background hours (ts when they are 0)
    double backgroundCounts = 0.0;  // Nb = tb × background rate
    double backgroundRate = 0.0;    // Rb, counts per hour
    double sampleArea = 0.0;        // As, cm²
    double detectorArea = 0.0;      // Ad, cm²
    double efficiency = 0.0;        // ε, a fraction
};

// S: each count converted to double and added in point order.
double sumCounts(std::span<const std::int32_t> counts);

// The sample standard deviation (N - 1 in the denominator) around the mean sum ÷ N. N and N - 1
// are taken as unsigned 32-bit numbers, so no points give 0 and one point gives 0 ÷ 0.
double standardDeviation(std::span<const std::int32_t> counts, double sum);

StatisticsInputs gatherStatisticsInputs(std::span<const std::int32_t> counts,
                                        const AssayConfig& assayConfig,
                                        const CounterConfig& counterConfig, bool withDeviation);

// (S ÷ ts − Rb) ÷ As: the net alpha rate per cm² and hour.
double netRate(const StatisticsInputs& in);
// σ = √((√S ÷ ts)² + (√Nb ÷ tb)²) ÷ As: the error of the net rate.
double netRateError(const StatisticsInputs& in);
// k × √(S ÷ ts² + Nb ÷ tb²) ÷ (As × ε).
double limitOfDetection(const StatisticsInputs& in, double k);

// The rows from the net rate on are produced only when the background counts are greater than
// 0 (not when they are zero, negative or not a number).
bool hasBackground(const StatisticsInputs& in);

// The text of one statistic ("%d", "%.4lf" or "%.2lf" in the C locale, exact ties rounded away
// from zero as the Windows runtime rounds them). Total counts are the whole sum truncated
// toward zero, however large.
std::string statisticText(const StatisticsInputs& in, Statistic statistic);
// The text of the limit of detection for any coverage factor k.
std::string limitOfDetectionText(const StatisticsInputs& in, double k);

// One row of a statistics block.
struct StatisticRow {
    Statistic statistic;
    const char* key;
    const char* listLabel;
    const char* csvLabel;
    std::string value;
};

// The selected statistics in their fixed order, with the background gate applied: this block
// feeds the statistics list and the CSV export.
std::vector<StatisticRow> statisticsBlock(const StatisticsInputs& in, const StatsShow& selection);
// The same for a record, gathered from one consistent state of it.
std::vector<StatisticRow> statisticsBlock(const AssayData& data, const StatsShow& selection);

// The block as CSV lines: each row's CSV label followed by its value, without line ends.
std::vector<std::string> csvStatisticsLines(const std::vector<StatisticRow>& block);

} // namespace nivra
