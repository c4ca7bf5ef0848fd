#include "base/local_time.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace nivra {

namespace {

// A number of one or two digits (after optional blanks) between low and high.
const char* readNumber(const char* text, int low, int high, int& value) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text < '0' || *text > '9')
        return nullptr;
    value = *text++ - '0';
    if (*text >= '0' && *text <= '9')
        value = value * 10 + (*text++ - '0');
    return value >= low && value <= high ? text : nullptr;
}

const char* readSeparator(const char* text, char separator) {
    if (separator == ' ') {
        while (*text == ' ' || *text == '\t')
            ++text;
        return text;
    }
    return *text == separator ? text + 1 : nullptr;
}

} // namespace

bool localCalendarTime(std::int64_t secondsSinceEpoch, std::tm& fields) {
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    return ::localtime_s(&fields, &time) == 0;
}

std::string formatIsoLocalTime(std::int64_t secondsSinceEpoch) {
    std::tm local{};
    if (!localCalendarTime(secondsSinceEpoch, local))
        return {};
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    // The offset from UTC: the local calendar fields read as if they were UTC, less the instant.
    std::tm copy = local;
    const long offset = static_cast<long>(::_mkgmtime(&copy) - secondsSinceEpoch);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return std::string(stamp) + zone;
}

// "%m/%d/%y %H:%M:%S" as the C library of Linux reads it: numbers of one or two digits, blanks
// before a number allowed, a blank in the format matching any number of blanks.
const char* readTimeStampFields(const char* text, std::tm& fields) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    const char* at = readNumber(text, 1, 12, month);
    at = at ? readSeparator(at, '/') : nullptr;
    at = at ? readNumber(at, 1, 31, day) : nullptr;
    at = at ? readSeparator(at, '/') : nullptr;
    at = at ? readNumber(at, 0, 99, year) : nullptr;
    at = at ? readSeparator(at, ' ') : nullptr;
    at = at ? readNumber(at, 0, 23, hour) : nullptr;
    at = at ? readSeparator(at, ':') : nullptr;
    at = at ? readNumber(at, 0, 59, minute) : nullptr;
    at = at ? readSeparator(at, ':') : nullptr;
    at = at ? readNumber(at, 0, 61, second) : nullptr;
    if (!at)
        return nullptr;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_year = year < 69 ? year + 100 : year;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return at;
}

} // namespace nivra
