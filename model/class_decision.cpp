#include "model/class_decision.h"

#include "base/value_encoding.h"
#include "model/assay_config.h"

#include <cmath>

namespace nivra {

ClassVerdict classVerdict(const Assessment& a, double limit) {
    // Written so that a not-a-number bound decides nothing.
    if (a.coverageHigh <= limit)
        return ClassVerdict::Below;
    if (a.coverageLow > limit)
        return ClassVerdict::Above;
    return ClassVerdict::Undecided;
}

ClassDecision decideClass(const Assessment& assessment, double limit, const AssayConfig& assay,
                          const AssessmentSettings& settings) {
    ClassDecision decision;
    decision.limit = limit;
    decision.methodSuitable = assessment.detectionLimit && *assessment.detectionLimit <= limit;
    decision.verdict = classVerdict(assessment, limit);

    const double dwell = static_cast<double>(assay.dwellSpan()) / 3600.0;
    const double rate = assessment.grossCounts / assessment.countTime;
    const bool backgroundFollows = assay.backgroundHours == 0.0;
    if (decision.verdict != ClassVerdict::Undecided) {
        decision.furtherDwells = 0;
    } else if (dwell > 0.0 && std::isfinite(rate)) {
        Assessment longer = assessment;
        for (long k = 1; k <= kMaxFurtherDwells; ++k) {
            longer.countTime = assessment.countTime + static_cast<double>(k) * dwell;
            longer.grossCounts = rate * longer.countTime;
            if (backgroundFollows)
                longer.backgroundTime = longer.countTime;
            assessActivity(longer, settings);
            if (classVerdict(longer, limit) != ClassVerdict::Undecided) {
                decision.furtherDwells = k;
                break;
            }
        }
    }
    if (decision.furtherDwells)
        decision.hoursToDecision = static_cast<double>(*decision.furtherDwells) * dwell;
    return decision;
}

std::optional<ClassDecision> decideClassOfPoints(std::span<const std::int32_t> counts,
                                                 const AssayConfig& assay,
                                                 const CounterConfig& counter,
                                                 const AssessmentSettings& settings) {
    const double limit = assay.classLimit.value_or(0.0);
    if (limit <= 0.0 || counts.empty())
        return std::nullopt;
    return decideClass(assess(counts, assay, counter, settings), limit, assay, settings);
}

const char* classVerdictText(ClassVerdict verdict) {
    switch (verdict) {
    case ClassVerdict::Below:
        return "below";
    case ClassVerdict::Above:
        return "above";
    case ClassVerdict::Undecided:
        break;
    }
    return "undecided";
}

std::vector<std::string> classDecisionLines(const ClassDecision& d) {
    return {
        "Class limit (1/(cm2 h)): " + formatC("%.6g", d.limit),
        std::string("Method suitable: ") + (d.methodSuitable ? "yes" : "no"),
        std::string("Class verdict: ") + classVerdictText(d.verdict),
        "Time to decision (h): " +
            (d.hoursToDecision ? formatC("%.6g", *d.hoursToDecision) : std::string("none")),
    };
}

std::string classDecisionSummary(const ClassDecision& d) {
    if (d.verdict != ClassVerdict::Undecided)
        return classVerdictText(d.verdict);
    if (!d.hoursToDecision)
        return "undecided, no end in sight";
    return "undecided, about " + formatC("%.0f", std::ceil(*d.hoursToDecision)) + " h";
}

} // namespace nivra
