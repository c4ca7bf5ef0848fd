#pragma once

#include "model/assessment.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The decision a laboratory signs: is the sample's efficiency-corrected net rate below or above
// the customer's class limit L (alphas per cm² and hour), and if neither yet, how much longer it
// must be counted.
//
// - The method is suitable for the limit when the detection limit exists and is at or below L.
// - The verdict is "below" when the upper end of the coverage interval is at or below L, "above"
//   when its lower end is above L, and "undecided" otherwise.
// - The time to decision holds the observed gross count rate and the background as they are and
//   asks after how many further dwells (k = 0, 1, 2, ... up to kMaxFurtherDwells) the verdict
//   would no longer be undecided; the gross counts after k further dwells are the observed rate
//   times the longer count time, not rounded. A background time of "the same as the count time"
//   grows with the count time.
namespace nivra {

struct AssayConfig;
struct CounterConfig;

enum class ClassVerdict { Below, Above, Undecided };

struct ClassDecision {
    double limit = 0.0;
    bool methodSuitable = false;
    ClassVerdict verdict = ClassVerdict::Undecided;
    // Further dwells until decided (0 when decided already); none when no k up to the bound
    // decides.
    std::optional<long> furtherDwells;
    // furtherDwells × the dwell, in hours.
    std::optional<double> hoursToDecision;
};

inline constexpr long kMaxFurtherDwells = 100000;

// The verdict of one assessment against the limit.
ClassVerdict classVerdict(const Assessment& assessment, double limit);

// The decision for an assessment made under this assay configuration (its dwell and whether the
// background time follows the count time) with these settings.
ClassDecision decideClass(const Assessment& assessment, double limit, const AssayConfig& assay,
                          const AssessmentSettings& settings);

// The decision for the points counted so far under the assay configuration's own class limit;
// none when it sets no limit (absent or 0) or there is no point yet. This is what a live view
// shows and what ends a run that stops when decided.
std::optional<ClassDecision> decideClassOfPoints(std::span<const std::int32_t> counts,
                                                 const AssayConfig& assay,
                                                 const CounterConfig& counter,
                                                 const AssessmentSettings& settings = {});

// "below", "above" or "undecided".
const char* classVerdictText(ClassVerdict verdict);

// The four lines "Class limit (1/(cm2 h)): L", "Method suitable: yes|no",
// "Class verdict: below|above|undecided", "Time to decision (h): T|none", "%.6g" numbers.
std::vector<std::string> classDecisionLines(const ClassDecision& decision);

// A short text for a live view: "below", "above", "undecided, about 14 h" or
// "undecided, no end in sight".
std::string classDecisionSummary(const ClassDecision& decision);

} // namespace nivra
