#include "model/config_check.h"

#include "base/local_time.h"
#include "base/profile_file.h"
#include "base/profile_sections.h"
#include "base/readable_file.h"
#include "base/value_encoding.h"

#include <cmath>
#include <ctime>
#include <iterator>
#include <limits>
#include <string_view>

namespace nivra {

namespace {

constexpr const char* kDwellField = "the dwell time (DWELL HOURS, DWELL MINUTES, DWELL SECONDS)";
constexpr const char* kTotalField = "the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS)";

constexpr const char* kWholeNumber = "a whole number from 0 to 2147483647";
constexpr const char* kNotNegative = "a number of 0 or more";
constexpr const char* kFraction =
    "a fraction above 0 and at most 1 (the efficiency is a fraction: 0.84 means 84 %)";

// A number of a configuration file: its key, how the messages name it, and what it holds.
struct NumberField {
    const char* key;
    const char* name;
    bool whole;        // a whole number; otherwise any decimal number
    const char* range; // what the field must be, for the message
};

constexpr NumberField kAssayFields[] = {
    {"SAMPLE_AREA", "the sample area", true, kWholeNumber},
    {"DWELL HOURS", "the dwell hours", true, kWholeNumber},
    {"DWELL MINUTES", "the dwell minutes", true, kWholeNumber},
    {"DWELL SECONDS", "the dwell seconds", true, kWholeNumber},
    {"TOTAL HOURS", "the total hours", true, kWholeNumber},
    {"TOTAL MINUTES", "the total minutes", true, kWholeNumber},
    {"TOTAL SECONDS", "the total seconds", true, kWholeNumber},
    {"BACKGROUND", "the background rate", false, kNotNegative},
    {"BACKGROUND_HOURS", "the background time", false, kNotNegative},
    // Optional: a limit typed as "0,05" must not silently become no limit at all.
    {"CLASS LIMIT", "the class limit", false, kNotNegative},
    {"STOP WHEN DECIDED", "the stop when decided switch", true, "0 or 1"},
};

constexpr NumberField kCounterFields[] = {
    {"DETECTOR AREA", "the detector area", true, kWholeNumber},
    {"DETECTOR EFFICIENCY", "the detector efficiency", false, kFraction},
};

// "<file>: <name> (<KEY>) is <value>; it must be <range>".
std::string fieldProblem(const std::string& file, const NumberField& field,
                         const std::string& value) {
    return file + ": " + field.name + " (" + field.key + ") is " + value + "; it must be " +
           field.range;
}

// A whole-number field of a record: at most the largest number a "%d" field writes as itself.
// A larger one was read from a negative number in the file, or would be written as one.
std::string wholeProblem(const std::string& file, const NumberField& field, std::uint32_t value) {
    if (value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        return {};
    return fieldProblem(file, field, formatUnsigned(value));
}

// A background rate or time: a finite number, not negative.
std::string notNegativeProblem(const std::string& file, const NumberField& field, double value) {
    if (std::isfinite(value) && value >= 0.0)
        return {};
    return fieldProblem(file, field, formatC("%g", value));
}

// The texts of the number fields in the file: each key that is present holds exactly a number of
// its kind. A missing or empty key leaves the record's value as it was, which the record checks
// judge.
std::string fieldTextsProblem(ProfileFile& profile, const std::string& file, const char* section,
                              const NumberField* fields, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const NumberField& field = fields[i];
        const std::string text = profile.readString(field.key, section);
        if (text.empty())
            continue;
        std::uint32_t whole = 0;
        double number = 0.0;
        if (field.whole ? !parseWholeNumber(text, whole) : !parseNumber(text, number))
            return fieldProblem(file, field, "'" + text + "'");
    }
    return {};
}

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
    std::tm local{};
    if (!localCalendarTime(instant, local))
        return false;
    year = local.tm_year + 1900;
    return true;
}

} // namespace

std::string assayConfigProblem(const AssayConfig& config, const std::string& file,
                               std::int64_t now) {
    const std::uint32_t wholes[] = {config.sampleArea,   config.dwellHours, config.dwellMinutes,
                                    config.dwellSeconds, config.totalHours, config.totalMinutes,
                                    config.totalSeconds};
    for (std::size_t i = 0; i < std::size(wholes); ++i)
        if (std::string problem = wholeProblem(file, kAssayFields[i], wholes[i]); !problem.empty())
            return problem;
    if (std::string problem = notNegativeProblem(file, kAssayFields[7], config.backgroundRate);
        !problem.empty())
        return problem;
    if (std::string problem = notNegativeProblem(file, kAssayFields[8], config.backgroundHours);
        !problem.empty())
        return problem;
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
    // A run told to stop when decided would otherwise count to its end without a word.
    if (config.stopWhenDecided && !config.classLimit)
        return file + ": STOP WHEN DECIDED is set without a class limit (CLASS LIMIT); set a "
                      "limit above 0 or remove the key";
    return {};
}

std::string counterConfigProblem(const CounterConfig& config, const std::string& file) {
    if (std::string problem = wholeProblem(file, kCounterFields[0], config.detectorArea);
        !problem.empty())
        return problem;
    if (config.detectorArea == 0)
        return file + ": the detector area (DETECTOR AREA) is 0; it must be more than 0";
    const double efficiency = config.detectorEfficiency;
    if (!(efficiency > 0.0 && efficiency <= 1.0))
        return fieldProblem(file, kCounterFields[1], formatC("%g", efficiency));
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

std::string configFileProblem(const std::string& file, const char* section) {
    if (std::string problem = configSectionProblem(file, section); !problem.empty())
        return problem;
    ProfileFile profile(file);
    if (!profile.readError().empty())
        return file + ": cannot be read: " + profile.readError();
    if (std::string_view(section) == AssayConfig::kSection)
        return fieldTextsProblem(profile, file, section, kAssayFields, std::size(kAssayFields));
    if (std::string_view(section) == CounterConfig::kSection)
        return fieldTextsProblem(profile, file, section, kCounterFields, std::size(kCounterFields));
    return {};
}

std::string runConfigProblem(const std::string& counterFile, const CounterConfig& counter,
                             const std::string& assayFile, const AssayConfig& assay,
                             std::int64_t now) {
    for (std::string problem :
         {configFileProblem(counterFile, CounterConfig::kSection),
          configFileProblem(assayFile, AssayConfig::kSection),
          counterConfigProblem(counter, counterFile), assayConfigProblem(assay, assayFile, now)})
        if (!problem.empty())
            return problem;
    return {};
}

} // namespace nivra
