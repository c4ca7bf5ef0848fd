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

std::optional<std::int64_t> parseLocalTimeStamp(const std::string& text) {
    std::tm local{};
    const char* end = ::strptime(text.c_str(), "%m/%d/%y %H:%M:%S", &local);
    if (!end)
        return std::nullopt;
    local.tm_isdst = -1;
    const std::time_t time = std::mktime(&local);
    if (time == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<std::int64_t>(time);
}

bool isIsoDate(const std::string& text) {
    if (text.size() != 10)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((i == 4 || i == 7) ? text[i] != '-' : (text[i] < '0' || text[i] > '9'))
            return false;
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1];
}

} // namespace nivra
