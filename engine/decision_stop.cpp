#include "engine/decision_stop.h"

#include "base/value_encoding.h"
#include "model/assay_data.h"
#include "model/assessment.h"

namespace nivra {

ClassVerdict runVerdict(const AssayData& data, double limit) {
    // One consistent copy: the points and the configurations that judge them belong together.
    const Assessment assessment = assess(data);
    if (assessment.points < 2)
        return ClassVerdict::Undecided;
    return classVerdict(assessment, limit);
}

std::string decisionLine(ClassVerdict verdict, double limit, std::int64_t time) {
    return std::string(kDecidedPrefix) + classVerdictText(verdict) + formatC(" %.6g", limit) +
           " at " + formatLocalTime(time);
}

std::optional<ClassVerdict> decidedVerdict(const std::vector<std::string>& headerLines) {
    if (headerLines.empty())
        return std::nullopt;
    const std::string& line = headerLines.back();
    for (ClassVerdict verdict : {ClassVerdict::Below, ClassVerdict::Above})
        if (line.rfind(std::string(kDecidedPrefix) + classVerdictText(verdict) + " ", 0) == 0)
            return verdict;
    return std::nullopt;
}

RunEnvironment::EndCheck stopWhenDecided() {
    return [](const AssayData& data, std::int64_t now) {
        const std::optional<double> limit = data.assayConfig().classLimit;
        if (!limit)
            return std::string();
        const ClassVerdict verdict = runVerdict(data, *limit);
        return verdict == ClassVerdict::Undecided ? std::string()
                                                  : decisionLine(verdict, *limit, now);
    };
}

} // namespace nivra
