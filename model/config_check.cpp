#include "model/config_check.h"

#include "base/profile_sections.h"
#include "base/readable_file.h"
#include "base/value_encoding.h"

#include <cmath>
#include <ctime>

namespace nivra {

namespace {

constexpr const char* kDwellField = "the dwell time (DWELL HOURS, DWELL MINUTES, DWELL SECONDS)";
constexpr const char* kTotalField = "the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS)";

std::string formatSpan(std::int64_t seconds) {
    return formatC("%lld h %lld min %lld s", static_cast<long long>(seconds / 3600),
                   static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}

std::string spanProblem(const std::string& file, const char* field, std::int64_t span) {
    if (span <= kLongestSpanHours * 3600)
        return {};
    return formatC("%s: %s is %s; it must not exceed ten years (%lld h)", file.c_str(), field,
                   formatSpan(span).c_str(), static_cast<long long>(kLongestSpanHours));
}

// The local year of an instant, or nothing when the instant has no calendar date.
bool localYear(std::int64_t instant, int& year) {
    const std::time_t time = static_cast<std::time_t>(instant);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return false;
    year = local.tm_year + 1900;
    return true;
}

} // namespace

std::string assayConfigProblem(const AssayConfig& config, const std::string& file,
                               std::int64_t now) {
    const std::int64_t dwell = config.dwellSpan();
    if (dwell <= 0)
        return formatC("%s: %s is %s; it must be more than 0 s", file.c_str(), kDwellField,
                       formatSpan(dwell).c_str());
    if (std::string problem = spanProblem(file, kDwellField, dwell); !problem.empty())
        return problem;
    const std::int64_t total = config.totalSpan();
    if (std::string problem = spanProblem(file, kTotalField, total); !problem.empty())
        return problem;
    int year = 0;
    if (!localYear(now + total, year) || year < kFirstTimeStampYear || year > kLastTimeStampYear)
        return formatC("%s: %s would end the run in %d; time stamps show the years %d to %d only",
                       file.c_str(), kTotalField, year, kFirstTimeStampYear, kLastTimeStampYear);
    if (config.sampleArea == 0)
        return file + ": the sample area (SAMPLE_AREA) is 0; it must be more than 0";
    return {};
}

std::string counterConfigProblem(const CounterConfig& config, const std::string& file) {
    if (config.detectorArea == 0)
        return file + ": the detector area (DETECTOR AREA) is 0; it must be more than 0";
    const double efficiency = config.detectorEfficiency;
    if (!(efficiency > 0.0) || !std::isfinite(efficiency))
        return formatC("%s: the detector efficiency (DETECTOR EFFICIENCY) is %g; it must be a "
                       "number above 0",
                       file.c_str(), efficiency);
    return {};
}

std::string configSectionProblem(const std::string& file, const char* section) {
    std::string text, reason;
    if (!readRegularFile(file, text, reason))
        return file + ": cannot be read: " + reason;
    if (!hasProfileSection(text, section))
        return file + ": the file has no [" + section + "] section";
    return {};
}

std::string runConfigProblem(const std::string& counterFile, const CounterConfig& counter,
                             const std::string& assayFile, const AssayConfig& assay,
                             std::int64_t now) {
    for (std::string problem :
         {configSectionProblem(counterFile, CounterConfig::kSection),
          configSectionProblem(assayFile, AssayConfig::kSection),
          counterConfigProblem(counter, counterFile), assayConfigProblem(assay, assayFile, now)})
        if (!problem.empty())
            return problem;
    return {};
}

} // namespace nivra
