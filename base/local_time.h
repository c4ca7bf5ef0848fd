#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace nivra {

// An instant (seconds since the epoch) as ISO 8601 local time with the offset from UTC,
// "2025-12-08T14:03:07+01:00".
std::string formatIsoLocalTime(std::int64_t secondsSinceEpoch);

// The calendar fields of an instant in local time; false when the system cannot tell.
bool localCalendarTime(std::int64_t secondsSinceEpoch, std::tm& fields);

// Reads a run header line's time stamp ("12/08/25 14:03:07", see below) at the start of text
// into fields; returns where the text goes on after it, or nullptr when it starts otherwise.
const char* readTimeStampFields(const char* text, std::tm& fields);

// The instant of a run header line's time stamp, "12/08/25 14:03:07" (month/day/two-digit year,
// 24-hour time, local time; years 69 to 99 are 1969 to 1999, 00 to 68 are 2000 to 2068), or
// nothing when text does not start with such a stamp.
std::optional<std::int64_t> parseLocalTimeStamp(const std::string& text);

// Whether text is a calendar date "YYYY-MM-DD".
bool isIsoDate(const std::string& text);

} // namespace nivra
