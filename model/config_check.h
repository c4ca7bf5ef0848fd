#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"

#include <cstdint>
#include <string>

// The checks a configuration passes before a run starts with it, and before a configuration
// dialog saves it: the times a run can keep, areas and an efficiency the statistics can divide
// by, and a file that holds the configuration at all. Each problem is one message for the
// operator that names the file and the field, "<file>: the dwell time (DWELL HOURS, DWELL
// MINUTES, DWELL SECONDS) is 0 h 0 min 0 s; it must be more than 0 s"; "" means no problem.
namespace nivra {

// The longest dwell or total time: ten years of 365.25 days.
inline constexpr std::int64_t kLongestSpanHours = 87660;

// The years a time stamp shows without doubt: its two-digit year reads back as 1969 to 2068.
inline constexpr int kFirstTimeStampYear = 1969;
inline constexpr int kLastTimeStampYear = 2068;

// The values of an assay configuration for a run starting at now (seconds since the epoch): each
// whole-number field at most 2147483647 (a larger one was read from a negative number, or would be
// written as one), a background rate and time that are finite and not negative, a dwell time
// above 0 and neither time above ten years, an end time whose time stamp can be written, and a
// sample area above 0.
std::string assayConfigProblem(const AssayConfig& config, const std::string& file,
                               std::int64_t now);

// The values of a counter configuration: a detector area from 1 to 2147483647 and an efficiency
// that is a fraction above 0 and at most 1 (0.84 means 84 %; 84 is refused, the message says
// why).
std::string counterConfigProblem(const CounterConfig& config, const std::string& file);

// Whether the file can be read and holds the section ("[ASSAY CONFIG]", "[COUNTER CONFIG]"). A
// file without it would run on built-in defaults. A FIFO or a device is refused without waiting.
std::string configSectionProblem(const std::string& file, const char* section);

// configSectionProblem, then the text of every number the section holds: a whole-number field
// exactly digits for 0 to 2147483647 ("4294967297", "abc", "1.5", "-5" are refused, where reading
// would wrap, keep the default or cut), a real field exactly a decimal number ("high" and "nan"
// are refused). Blanks around a value are allowed; a missing or empty key is not a problem here
// (the record keeps its value, which the record checks judge). Sections other than "ASSAY
// CONFIG" and "COUNTER CONFIG" have no number fields to check.
std::string configFileProblem(const std::string& file, const char* section);

// Everything a run checks about its two configurations before it starts: both files hold their
// sections with numbers that read exactly, and both records hold values a run can use. The first
// problem found.
std::string runConfigProblem(const std::string& counterFile, const CounterConfig& counter,
                             const std::string& assayFile, const AssayConfig& assay,
                             std::int64_t now);

} // namespace nivra
