#include "base/local_time.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace nivra {

std::string formatIsoLocalTime(std::int64_t secondsSinceEpoch) {
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return {};
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = local.tm_gmtoff;
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return std::string(stamp) + zone;
}

bool localCalendarTime(std::int64_t secondsSinceEpoch, std::tm& fields) {
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    return ::localtime_r(&time, &fields) != nullptr;
}

const char* readTimeStampFields(const char* text, std::tm& fields) {
    return ::strptime(text, "%m/%d/%y %H:%M:%S", &fields);
}

} // namespace nivra
