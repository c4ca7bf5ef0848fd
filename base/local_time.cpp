#include "base/local_time.h"

#include <ctime>
#include <string>

namespace nivra {

std::optional<std::int64_t> parseLocalTimeStamp(const std::string& text) {
    std::tm local{};
    const char* end = readTimeStampFields(text.c_str(), local);
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
