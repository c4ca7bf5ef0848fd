#include "model/assessment.h"

#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"

#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;

using nivra::AssessmentSettings;

namespace {

struct Case {
    const char* name;
    std::vector<std::int32_t> counts;
    std::uint32_t dwellSeconds;
    double backgroundRate;
    double backgroundHours;
    std::uint32_t sampleArea;
    double efficiency;
    AssessmentSettings settings;
    // The seventeen values, joined by '|'. Computed independently of this code: the formulas
    // evaluated with Python's mpmath at 50 digits, the detection limit by root finding on
    // y# − y* − k·ũ(y#) instead of the closed form, the normal quantiles by root finding on
    // the distribution function, P as the regularised incomplete gamma function; printed "%.6g".
    const char* expected;
};

AssayConfig assayOf(const Case& c) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = 0;
    assay.dwellMinutes = 0;
    assay.dwellSeconds = c.dwellSeconds;
    assay.backgroundRate = c.backgroundRate;
    assay.backgroundHours = c.backgroundHours;
    assay.sampleArea = c.sampleArea;
    return assay;
}

std::string figures(const nivra::Assessment& assessment) {
    std::string joined;
    for (const nivra::AssessmentRow& row : nivra::assessmentRows(assessment))
        joined += (joined.empty() ? "" : "|") + row.value;
    return joined;
}

const std::vector<std::int32_t> kActive = {52, 47, 55, 49, 51, 46};

// clang-format off
const Case kCases[] = {
    {"clear activity", kActive, 600, 3, 10, 100, 0.8, {},
     "6|1|300|3|10|3.7125|0.216615|0.0373503|0.10852|yes|3.7125|0.216615|3.28794 .. 4.13706|"
     "1.12|5|0.0476819|pass"},
    {"calibration uncertainty", kActive, 600, 3, 10, 100, 0.8,
     {.relativeCalibrationUncertainty = 0.1},
     "6|1|300|3|10|3.7125|0.429824|0.0373503|0.111538|yes|3.7125|0.429824|2.87006 .. 4.55494|"
     "1.12|5|0.0476819|pass"},
    {"no detection limit", kActive, 600, 3, 10, 100, 0.8,
     {.relativeCalibrationUncertainty = 0.7},
     "6|1|300|3|10|3.7125|2.60776|0.0373503|none|yes|4.12177|2.26131|0.375627 .. 8.91276|"
     "1.12|5|0.0476819|pass"},
    {"alpha, beta and gamma", kActive, 600, 3, 10, 100, 0.8,
     {.alpha = 0.01, .beta = 0.2, .gamma = 0.1},
     "6|1|300|3|10|3.7125|0.216615|0.0528253|0.0864507|yes|3.7125|0.216615|3.3562 .. 4.0688|"
     "1.12|5|0.0476819|pass"},
    {"blank", {1, 0, 2, 1}, 1800, 2.5, 20, 50, 0.5, {},
     "4|2|4|2.5|20|-0.02|0.0424264|0.0771505|0.208412|no|0.0275272|0.0221745|"
     "0.000951922 .. 0.0822658|2|3|0.427593|pass"},
    {"blank far below its background", {0, 1, 0}, 3600, 1e6, 1, 100, 0.5, {},
     "3|3|1|1e+06|1|-20000|20|37.9863|75.9906|no|0.02|0.0199999|0.000506356 .. 0.0737774|"
     "2|2|0.632121|pass"},
    {"one point, no background", {37}, 3600, -1, 4, 100, 0.5, {},
     "1|1|37|0|4|0.74|0.121655|0|0.0541109|yes|0.74|0.121655|0.50156 .. 0.97844|"
     "none|0|none|not applicable"},
    {"all points equal", {20, 20, 20, 20, 20}, 900, 2, 0, 100, 0.5, {},
     "5|1.25|100|2|1.25|1.56|0.161988|0.0588481|0.160985|yes|1.56|0.161988|1.24251 .. 1.87749|"
     "0|4|0|under-dispersed"},
    {"a burst", {10, 12, 9, 11, 25, 10}, 900, 2, 4, 100, 0.5, {},
     "6|1.5|77|2|4|0.986667|0.117851|0.0445428|0.12516|yes|0.986667|0.117851|0.755683 .. 1.21765|"
     "14.2468|5|0.985884|over-dispersed"},
};
// clang-format on

} // namespace

TEST(Assessment, HandComputedCasesToThePrintedDigits) {
    CounterConfig counter = CounterConfig::defaults();
    for (const Case& c : kCases) {
        counter.detectorEfficiency = c.efficiency;
        const nivra::Assessment assessment =
            nivra::assess(c.counts, assayOf(c), counter, c.settings);
        EXPECT_EQ(figures(assessment), c.expected) << c.name;
        // A true activity is never negative, whatever the measurement says.
        EXPECT_GT(assessment.bestEstimate, 0.0) << c.name;
        EXPECT_GE(assessment.coverageLow, 0.0) << c.name;
    }
}

TEST(Assessment, RecordAndRangeTakeTheirOwnPoints) {
    const Case& c = kCases[0];
    CounterConfig counter = CounterConfig::defaults();
    counter.detectorEfficiency = c.efficiency;
    AssayData record(counter, assayOf(c), 1);
    for (std::int32_t count : c.counts)
        record.appendPoint(count);
    EXPECT_EQ(figures(nivra::assess(record)), c.expected);

    const std::vector<std::int32_t> middle(c.counts.begin() + 1, c.counts.begin() + 4);
    EXPECT_EQ(figures(nivra::assess(record, 2, 4)),
              figures(nivra::assess(middle, assayOf(c), counter)));
    EXPECT_EQ(nivra::assessmentLines(nivra::assess(record, 2, 4))[1], "Count time (h): 0.5");
}
