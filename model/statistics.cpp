#include "model/statistics.h"

#include "base/value_encoding.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/stats_show.h"

#include <cmath>
#include <limits>

namespace nivra {

namespace {

// N as the statistics use it: an unsigned 32-bit number converted to double.
double pointsAsDouble(std::size_t n) {
    return static_cast<double>(static_cast<std::uint32_t>(n));
}

double mean(const StatisticsInputs& in) {
    return in.sum / pointsAsDouble(in.pointCount);
}

// The sum truncated toward zero. The sum of 32-bit counts stays far inside 64 bits for any
// record that fits in memory; the clamp only keeps the conversion defined.
long long truncatedSum(double sum) {
    constexpr double kLimit = 9.2e18;
    if (std::isnan(sum))
        return 0;
    if (sum >= kLimit)
        return std::numeric_limits<long long>::max();
    if (sum <= -kLimit)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(sum);
}

// "%.4lf", with exact ties rounded away from zero as the Windows runtime prints them.
std::string fixed4(double value) {
    return formatFixed(value, 4);
}

} // namespace

double sumCounts(std::span<const std::int32_t> counts) {
    double sum = 0.0;
    for (std::int32_t count : counts)
        sum += static_cast<double>(count);
    return sum;
}

double standardDeviation(std::span<const std::int32_t> counts, double sum) {
    const double mean = sum / pointsAsDouble(counts.size());
    double squares = 0.0;
    for (std::int32_t count : counts) {
        const double deviation = mean - static_cast<double>(count);
        squares += deviation * deviation;
    }
    const double denominator = static_cast<double>(static_cast<std::uint32_t>(counts.size()) - 1u);
    return std::sqrt(squares / denominator);
}

StatisticsInputs gatherStatisticsInputs(std::span<const std::int32_t> counts,
                                        const AssayConfig& assayConfig,
                                        const CounterConfig& counterConfig, bool withDeviation) {
    StatisticsInputs in;
    in.pointCount = counts.size();
    in.sum = sumCounts(counts);
    if (withDeviation)
        in.standardDeviation = standardDeviation(counts, in.sum);
    in.countTime = assayConfig.countTimeHours();
    in.backgroundTime = assayConfig.effectiveBackgroundHours();
    in.backgroundCounts = assayConfig.backgroundCounts();
    in.backgroundRate = assayConfig.backgroundRate;
    in.sampleArea = static_cast<double>(assayConfig.sampleArea);
    in.detectorArea = static_cast<double>(counterConfig.detectorArea);
    in.efficiency = counterConfig.detectorEfficiency;
    return in;
}

double netRate(const StatisticsInputs& in) {
    return (in.sum / in.countTime - in.backgroundRate) / in.sampleArea;
}

double netRateError(const StatisticsInputs& in) {
    const double sampleError = std::sqrt(in.sum) / in.countTime;
    const double backgroundError = std::sqrt(in.backgroundCounts) / in.backgroundTime;
    return std::sqrt(sampleError * sampleError + backgroundError * backgroundError) / in.sampleArea;
}

double limitOfDetection(const StatisticsInputs& in, double k) {
    return k *
           std::sqrt(in.sum / (in.countTime * in.countTime) +
                     in.backgroundCounts / (in.backgroundTime * in.backgroundTime)) /
           (in.sampleArea * in.efficiency);
}

bool hasBackground(const StatisticsInputs& in) {
    return in.backgroundCounts > 0.0;
}

std::string limitOfDetectionText(const StatisticsInputs& in, double k) {
    return fixed4(limitOfDetection(in, k));
}

std::string statisticText(const StatisticsInputs& in, Statistic statistic) {
    switch (statistic) {
    case Statistic::NumPoints:
        return formatC("%zu", in.pointCount);
    case Statistic::TotalCounts:
        return formatC("%lld", truncatedSum(in.sum));
    case Statistic::Time:
        return fixed4(in.countTime);
    case Statistic::Mean:
        return fixed4(nivra::mean(in));
    case Statistic::StdDev:
        return fixed4(in.standardDeviation);
    case Statistic::CPH:
        return fixed4(in.sum / in.countTime);
    case Statistic::Netapercm2hr:
        return fixed4(netRate(in));
    case Statistic::Netapercm2hrErr:
        return fixed4(netRateError(in));
    case Statistic::LLD:
        return fixed4(4.66 * std::sqrt(in.backgroundCounts) /
                      (in.backgroundTime * in.detectorArea));
    case Statistic::DetEff:
        return formatFixed(in.efficiency * 100.0, 2);
    case Statistic::Netcorr:
        return fixed4(netRate(in) / in.efficiency);
    case Statistic::NetcorrErr:
        return fixed4(netRateError(in) / in.efficiency);
    case Statistic::CDL95:
        return fixed4(1.645 * std::sqrt(2.0 * in.backgroundCounts) /
                      (in.backgroundTime * in.detectorArea * in.efficiency));
    case Statistic::LOD900:
        return limitOfDetectionText(in, 1.64);
    case Statistic::LOD950:
        return limitOfDetectionText(in, 2.0);
    case Statistic::LOD997:
        return limitOfDetectionText(in, 3.0);
    }
    return {};
}

std::vector<StatisticRow> statisticsBlock(const StatisticsInputs& in, const StatsShow& selection) {
    std::vector<StatisticRow> rows;
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        const Statistic statistic = statisticAt(i);
        if (statistic == kFirstBackgroundStatistic && !hasBackground(in))
            break;
        if (!selection.shows(statistic))
            continue;
        const StatisticNames& names = kStatisticNames[i];
        rows.push_back(
            {statistic, names.key, names.listLabel, names.csvLabel, statisticText(in, statistic)});
    }
    return rows;
}

std::vector<StatisticRow> statisticsBlock(const AssayData& data, const StatsShow& selection) {
    return statisticsBlock(data.statisticsInputs(selection.shows(Statistic::StdDev)), selection);
}

std::vector<std::string> csvStatisticsLines(const std::vector<StatisticRow>& block) {
    std::vector<std::string> lines;
    lines.reserve(block.size());
    for (const StatisticRow& row : block)
        lines.push_back(std::string(row.csvLabel) + row.value);
    return lines;
}

// The statistic operations of the record: each gathers its inputs from one consistent state.

double AssayData::sumCounts() const {
    return statisticsInputs(false).sum;
}

double AssayData::standardDeviation() const {
    return statisticsInputs(true).standardDeviation;
}

double AssayData::netRateError() const {
    return nivra::netRateError(statisticsInputs(false));
}

double AssayData::limitOfDetection(double k) const {
    return nivra::limitOfDetection(statisticsInputs(false), k);
}

double AssayData::backgroundCounts() const {
    return assayConfig().backgroundCounts();
}

std::string AssayData::statisticText(nivra::Statistic statistic) const {
    return nivra::statisticText(statisticsInputs(statistic == nivra::Statistic::StdDev), statistic);
}

std::string AssayData::numPointsText() const {
    return statisticText(nivra::Statistic::NumPoints);
}
std::string AssayData::totalCountsText() const {
    return statisticText(nivra::Statistic::TotalCounts);
}
std::string AssayData::timeText() const {
    return statisticText(nivra::Statistic::Time);
}
std::string AssayData::meanText() const {
    return statisticText(nivra::Statistic::Mean);
}
std::string AssayData::stdDevText() const {
    return statisticText(nivra::Statistic::StdDev);
}
std::string AssayData::cphText() const {
    return statisticText(nivra::Statistic::CPH);
}
std::string AssayData::netRateText() const {
    return statisticText(nivra::Statistic::Netapercm2hr);
}
std::string AssayData::netRateErrorText() const {
    return statisticText(nivra::Statistic::Netapercm2hrErr);
}
std::string AssayData::lldText() const {
    return statisticText(nivra::Statistic::LLD);
}
std::string AssayData::detEffText() const {
    return statisticText(nivra::Statistic::DetEff);
}
std::string AssayData::netCorrText() const {
    return statisticText(nivra::Statistic::Netcorr);
}
std::string AssayData::netCorrErrorText() const {
    return statisticText(nivra::Statistic::NetcorrErr);
}
std::string AssayData::cdl95Text() const {
    return statisticText(nivra::Statistic::CDL95);
}
std::string AssayData::lodText(double k) const {
    return nivra::limitOfDetectionText(statisticsInputs(false), k);
}

} // namespace nivra
