#include "model/class_decision.h"

#include "model/assay_config.h"
#include "model/counter_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using nivra::AssayConfig;
using nivra::ClassVerdict;

namespace {

// A sample of 100 cm² on a counter of efficiency 1 (w = 0.01 /cm²), counted in dwells of one
// hour at a steady 10 counts per hour, against a background of 5 per hour counted for 1000 h:
// the net rate is 0.05 /(cm² h) whatever the count time.
struct Sample {
    int points = 10;
    double grossRate = 10.0;
    double backgroundHours = 1000.0;
};

AssayConfig assayOf(const Sample& s) {
    AssayConfig assay = AssayConfig::defaults();
    assay.sampleArea = 100;
    assay.dwellHours = 1;
    assay.dwellMinutes = 0;
    assay.dwellSeconds = 0;
    assay.backgroundRate = 5.0;
    assay.backgroundHours = s.backgroundHours;
    return assay;
}

nivra::Assessment assessmentOf(const Sample& s, const nivra::AssessmentSettings& settings = {}) {
    nivra::CounterConfig counter = nivra::CounterConfig::defaults();
    counter.detectorEfficiency = 1.0;
    const std::vector<std::int32_t> counts(s.points, static_cast<std::int32_t>(s.grossRate));
    return nivra::assess(counts, assayOf(s), counter, settings);
}

// The same question answered without the code under test: far from zero the truncation of the
// coverage interval vanishes, so its ends are y ∓ 1.959964·u with
// u² = w²·(rate/t + r0/t0); the smallest k of further one-hour dwells that decides.
std::optional<long> independentFurtherDwells(const Sample& s, double limit) {
    const double w = 0.01, r0 = 5.0, k975 = 1.959963984540054;
    const double y = w * (s.grossRate - r0);
    for (long k = 0; k <= nivra::kMaxFurtherDwells; ++k) {
        const double t = s.points + k;
        const double t0 = s.backgroundHours == 0.0 ? t : s.backgroundHours;
        const double u = w * std::sqrt(s.grossRate / t + r0 / t0);
        if (y + k975 * u <= limit || y - k975 * u > limit)
            return k;
    }
    return std::nullopt;
}

struct Case {
    const char* name;
    Sample sample;
    double limit;
    ClassVerdict verdictNow;
};

// clang-format off
const Case kCases[] = {
    {"decided below already", {.points = 400}, 0.06, ClassVerdict::Below},
    {"decided above already", {.points = 400, .grossRate = 20}, 0.12, ClassVerdict::Above},
    {"below after more dwells", {}, 0.06, ClassVerdict::Undecided},
    {"above after more dwells", {.grossRate = 20}, 0.125, ClassVerdict::Undecided},
    {"background time follows the count time", {.backgroundHours = 0}, 0.07,
     ClassVerdict::Undecided},
    {"net rate on the limit never decides", {}, 0.05, ClassVerdict::Undecided},
};
// clang-format on

class ClassDecisionCases : public testing::TestWithParam<Case> {};

TEST_P(ClassDecisionCases, VerdictAndTimeMatchAnIndependentSearch) {
    const Case& c = GetParam();
    const nivra::ClassDecision d =
        nivra::decideClass(assessmentOf(c.sample), c.limit, assayOf(c.sample), {});
    EXPECT_EQ(d.verdict, c.verdictNow);
    const std::optional<long> expected = independentFurtherDwells(c.sample, c.limit);
    EXPECT_EQ(d.furtherDwells, expected);
    if (expected) {
        EXPECT_EQ(d.hoursToDecision, static_cast<double>(*expected));
        if (*expected > 0) {
            // The projection is what counting that long would give.
            Sample longer = c.sample;
            longer.points += static_cast<int>(*expected);
            EXPECT_NE(nivra::classVerdict(assessmentOf(longer), c.limit), ClassVerdict::Undecided);
            --longer.points;
            EXPECT_EQ(nivra::classVerdict(assessmentOf(longer), c.limit), ClassVerdict::Undecided);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Decisions, ClassDecisionCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(ClassDecision, MethodSuitabilityFollowsTheDetectionLimit) {
    const Sample sample;
    const nivra::Assessment a = assessmentOf(sample);
    ASSERT_TRUE(a.detectionLimit);
    EXPECT_TRUE(nivra::decideClass(a, *a.detectionLimit, assayOf(sample), {}).methodSuitable);
    EXPECT_FALSE(
        nivra::decideClass(a, *a.detectionLimit * 0.99, assayOf(sample), {}).methodSuitable);

    // A calibration uncertainty of 1/k(β) or more leaves no detection limit at all.
    const nivra::AssessmentSettings vague{.relativeCalibrationUncertainty = 0.7};
    const nivra::Assessment noLimit = assessmentOf(sample, vague);
    ASSERT_FALSE(noLimit.detectionLimit);
    EXPECT_FALSE(nivra::decideClass(noLimit, 1.0, assayOf(sample), vague).methodSuitable);
}

TEST(ClassDecision, LinesAndSummaries) {
    nivra::ClassDecision d;
    d.limit = 0.002;
    d.methodSuitable = true;
    d.furtherDwells = 7;
    d.hoursToDecision = 13.25;
    EXPECT_EQ(
        nivra::classDecisionLines(d),
        (std::vector<std::string>{"Class limit (1/(cm2 h)): 0.002", "Method suitable: yes",
                                  "Class verdict: undecided", "Time to decision (h): 13.25"}));
    EXPECT_EQ(nivra::classDecisionSummary(d), "undecided, about 14 h");
    d.hoursToDecision.reset();
    EXPECT_EQ(nivra::classDecisionLines(d).back(), "Time to decision (h): none");
    EXPECT_EQ(nivra::classDecisionSummary(d), "undecided, no end in sight");
    d.verdict = ClassVerdict::Above;
    EXPECT_EQ(nivra::classDecisionSummary(d), "above");

    // No points: nothing is decided and no time is projected.
    const nivra::Assessment none = assessmentOf({.points = 0});
    const nivra::ClassDecision empty = nivra::decideClass(none, 0.06, assayOf({}), {});
    EXPECT_EQ(empty.verdict, ClassVerdict::Undecided);
    EXPECT_FALSE(empty.hoursToDecision);
}

TEST(ClassDecision, TheLimitTravelsInTheAssayConfiguration) {
    AssayConfig assay = AssayConfig::defaults();
    EXPECT_TRUE(assay.optionalEntries().empty());
    assay.classLimit = 0.002;
    ASSERT_EQ(assay.optionalEntries().size(), 1u);
    EXPECT_EQ(assay.optionalEntries()[0].second, "0.002");
}

} // namespace
