// The configurations a run refuses to start with, and the messages that name file and field.

#include "model/config_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

using nivra::AssayConfig;
using nivra::CounterConfig;

using ::testing::HasSubstr;

namespace {

// Noon of 1 January of a year, local time.
std::int64_t newYear(int year) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mday = 1;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

AssayConfig assay(std::uint32_t dwellSeconds, std::uint32_t totalHours) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = assay.totalMinutes = assay.totalSeconds = 0;
    assay.dwellSeconds = dwellSeconds;
    assay.totalHours = totalHours;
    return assay;
}

const std::int64_t kNow = newYear(2026);

} // namespace

TEST(AssayConfigCheck, TimesARunCanKeepAndASampleArea) {
    AssayConfig longest = ::assay(0, nivra::kLongestSpanHours); // ten years of 365.25 days
    longest.dwellHours = nivra::kLongestSpanHours;
    EXPECT_EQ(nivra::assayConfigProblem(longest, "a.acx", kNow), "");

    EXPECT_THAT(nivra::assayConfigProblem(::assay(0, 1), "a.acx", kNow),
                HasSubstr("DWELL SECONDS) is 0 h 0 min 0 s; it must be more than 0 s"));
    longest.dwellSeconds = 1;
    EXPECT_THAT(nivra::assayConfigProblem(longest, "a.acx", kNow),
                HasSubstr("DWELL SECONDS) is 87660 h 0 min 1 s; it must not exceed ten years"));
    // "-1" in the file reads as 4294967295 hours, which used to wrap into an end in the past.
    EXPECT_THAT(nivra::assayConfigProblem(::assay(1, 4294967295u), "a.acx", kNow),
                HasSubstr("TOTAL SECONDS) is 4294967295 h 0 min 0 s; it must not exceed"));

    AssayConfig noArea = ::assay(1, 1);
    noArea.sampleArea = 0;
    EXPECT_EQ(nivra::assayConfigProblem(noArea, "a.acx", kNow),
              "a.acx: the sample area (SAMPLE_AREA) is 0; it must be more than 0");

    // Time stamps carry a two-digit year, read back as 1969 to 2068.
    const AssayConfig nineYears = ::assay(60, 9 * 8766 + 48); // nine years and two days
    EXPECT_EQ(nivra::assayConfigProblem(nineYears, "a.acx", newYear(2059)), "");
    EXPECT_EQ(nivra::assayConfigProblem(nineYears, "a.acx", newYear(2060)),
              "a.acx: the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS) would end the run "
              "in 2069; time stamps show the years 1969 to 2068 only");
}

TEST(CounterConfigCheck, AreaAndEfficiencyAboveZero) {
    CounterConfig counter = CounterConfig::defaults();
    counter.detectorEfficiency = 84; // a percentage typed as such is not refused
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"), "");
    counter.detectorArea = 0;
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"),
              "c.ccx: the detector area (DETECTOR AREA) is 0; it must be more than 0");
    counter.detectorArea = 100;
    for (double efficiency : {0.0, -0.5, std::nan(""), HUGE_VAL}) {
        counter.detectorEfficiency = efficiency;
        EXPECT_THAT(nivra::counterConfigProblem(counter, "c.ccx"),
                    HasSubstr("c.ccx: the detector efficiency (DETECTOR EFFICIENCY) is "))
            << efficiency;
    }
}
