// The configurations a run refuses to start with, and the messages that name file and field.

#include "model/config_check.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

using nivra::AssayConfig;
using nivra::CounterConfig;

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

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
    EXPECT_EQ(nivra::assayConfigProblem(::assay(1, 4294967295u), "a.acx", kNow),
              "a.acx: the total hours (TOTAL HOURS) is -1; it must be a whole number from 0 to "
              "2147483647");
    EXPECT_THAT(nivra::assayConfigProblem(::assay(1, 2147483647u), "a.acx", kNow),
                HasSubstr("TOTAL SECONDS) is 2147483647 h 0 min 0 s; it must not exceed"));

    AssayConfig noArea = ::assay(1, 1);
    noArea.sampleArea = 0;
    EXPECT_EQ(nivra::assayConfigProblem(noArea, "a.acx", kNow),
              "a.acx: the sample area (SAMPLE_AREA) is 0; it must be more than 0");

    // A run told to stop when decided needs something to decide against.
    AssayConfig undecidable = ::assay(1, 1);
    undecidable.stopWhenDecided = true;
    EXPECT_EQ(nivra::assayConfigProblem(undecidable, "a.acx", kNow),
              "a.acx: STOP WHEN DECIDED is set without a class limit (CLASS LIMIT); set a limit "
              "above 0 or remove the key");
    undecidable.classLimit = 0.05;
    EXPECT_EQ(nivra::assayConfigProblem(undecidable, "a.acx", kNow), "");

    // Time stamps carry a two-digit year, read back as 1969 to 2068.
    const AssayConfig nineYears = ::assay(60, 9 * 8766 + 48); // nine years and two days
    EXPECT_EQ(nivra::assayConfigProblem(nineYears, "a.acx", newYear(2059)), "");
    EXPECT_EQ(nivra::assayConfigProblem(nineYears, "a.acx", newYear(2060)),
              "a.acx: the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS) would end the run "
              "in 2069; time stamps show the years 1969 to 2068 only");
}

TEST(CounterConfigCheck, AnAreaAboveZeroAndAnEfficiencyThatIsAFraction) {
    CounterConfig counter = CounterConfig::defaults();
    counter.detectorEfficiency = 1.0;
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"), "");
    counter.detectorArea = 0;
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"),
              "c.ccx: the detector area (DETECTOR AREA) is 0; it must be more than 0");
    counter.detectorArea = 4294967291u; // "-5" in the file
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"),
              "c.ccx: the detector area (DETECTOR AREA) is -5; it must be a whole number from 0 "
              "to 2147483647");
    counter.detectorArea = 100;
    counter.detectorEfficiency = 84; // a percentage typed as such
    EXPECT_EQ(nivra::counterConfigProblem(counter, "c.ccx"),
              "c.ccx: the detector efficiency (DETECTOR EFFICIENCY) is 84; it must be a fraction "
              "above 0 and at most 1 (the efficiency is a fraction: 0.84 means 84 %)");
    for (double efficiency : {0.0, -0.5, 1.0000001, std::nan(""), HUGE_VAL}) {
        counter.detectorEfficiency = efficiency;
        EXPECT_THAT(nivra::counterConfigProblem(counter, "c.ccx"),
                    HasSubstr("c.ccx: the detector efficiency (DETECTOR EFFICIENCY) is "))
            << efficiency;
    }
}

TEST(AssayConfigCheck, ABackgroundIsAFiniteNumberOfZeroOrMore) {
    AssayConfig config = ::assay(1, 1);
    config.backgroundRate = 0.0;
    config.backgroundHours = 0.0;
    EXPECT_EQ(nivra::assayConfigProblem(config, "a.acx", kNow), "");
    const struct {
        double rate, hours;
        const char* expected;
    } cases[] = {
        {-1.0, 4.0, "the background rate (BACKGROUND) is -1; it must be a number of 0 or more"},
        {std::nan(""), 4.0, "the background rate (BACKGROUND) is nan;"},
        {1.0, -HUGE_VAL, "the background time (BACKGROUND_HOURS) is -inf;"},
        {1.0, HUGE_VAL, "the background time (BACKGROUND_HOURS) is inf;"},
    };
    for (const auto& c : cases) {
        config.backgroundRate = c.rate;
        config.backgroundHours = c.hours;
        EXPECT_THAT(nivra::assayConfigProblem(config, "a.acx", kNow),
                    HasSubstr(std::string("a.acx: ") + c.expected));
    }
}

// Each number of a file must read exactly; the message quotes the text as it stands.
TEST(ConfigFileCheck, EveryNumberOfTheFileReadsExactly) {
    nivra::test::TempDir dir;
    const struct {
        const char* section;
        const char* line; // a key line added to a valid section, or "" for none
        const char* expected;
    } cases[] = {
        {"ASSAY CONFIG", "", ""},
        {"ASSAY CONFIG", "DWELL SECONDS= 12 ", ""},
        {"ASSAY CONFIG", "DWELL SECONDS=", ""}, // empty: the record keeps its value
        {"ASSAY CONFIG", "DWELL SECONDS=2147483647", ""},
        {"ASSAY CONFIG", "BACKGROUND=-1.5e0", ""}, // reads; the record check refuses it
        {"ASSAY CONFIG", "DWELL SECONDS=4294967297",
         "the dwell seconds (DWELL SECONDS) is '4294967297'; it must be a whole number from 0 "
         "to 2147483647"},
        {"ASSAY CONFIG", "DWELL SECONDS=2147483648", "(DWELL SECONDS) is '2147483648';"},
        {"ASSAY CONFIG", "DWELL SECONDS=abc", "(DWELL SECONDS) is 'abc';"},
        {"ASSAY CONFIG", "DWELL SECONDS=1.5", "(DWELL SECONDS) is '1.5';"},
        {"ASSAY CONFIG", "TOTAL HOURS=+3", "(TOTAL HOURS) is '+3';"},
        {"ASSAY CONFIG", "SAMPLE_AREA=-5", "the sample area (SAMPLE_AREA) is '-5';"},
        {"ASSAY CONFIG", "SAMPLE_AREA=12abc", "(SAMPLE_AREA) is '12abc';"},
        {"ASSAY CONFIG", "BACKGROUND=nan",
         "the background rate (BACKGROUND) is 'nan'; it must be a number of 0 or more"},
        {"ASSAY CONFIG", "BACKGROUND_HOURS=4h", "(BACKGROUND_HOURS) is '4h';"},
        {"ASSAY CONFIG", "CLASS LIMIT=0,05", "the class limit (CLASS LIMIT) is '0,05';"},
        {"ASSAY CONFIG", "CLASS LIMIT=0.05", ""},
        {"ASSAY CONFIG", "STOP WHEN DECIDED=yes",
         "(STOP WHEN DECIDED) is 'yes'; it must be 0 or 1"},
        {"COUNTER CONFIG", "DETECTOR EFFICIENCY=0.84", ""},
        {"COUNTER CONFIG", "DETECTOR EFFICIENCY=high",
         "the detector efficiency (DETECTOR EFFICIENCY) is 'high'; it must be a fraction above 0 "
         "and at most 1 (the efficiency is a fraction: 0.84 means 84 %)"},
        {"COUNTER CONFIG", "DETECTOR EFFICIENCY=0x1p-1", "(DETECTOR EFFICIENCY) is '0x1p-1';"},
        {"COUNTER CONFIG", "DETECTOR AREA=1e3", "the detector area (DETECTOR AREA) is '1e3';"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("c.cfg");
        nivra::test::writeFileBytes(path, std::string("[") + c.section + "]\r\nNAME=n\r\n" +
                                              c.line + "\r\n");
        const std::string problem = nivra::configFileProblem(path, c.section);
        if (*c.expected == '\0')
            EXPECT_EQ(problem, "") << c.line;
        else
            EXPECT_THAT(problem, AllOf(StartsWith(path + ": the "), HasSubstr(c.expected)))
                << c.line;
    }
    nivra::test::writeFileBytes(dir.file("none.acx"), "[COUNTER CONFIG]\r\n");
    EXPECT_EQ(nivra::configFileProblem(dir.file("none.acx"), AssayConfig::kSection),
              dir.file("none.acx") + ": the file has no [ASSAY CONFIG] section");
}
