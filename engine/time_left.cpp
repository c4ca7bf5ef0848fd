#include "engine/time_left.h"

#include "base/value_encoding.h"

namespace nivra {

std::string formatTimeLeft(std::int64_t endTime, std::int64_t now) {
    std::int64_t left = endTime - now;
    if (left < 0)
        left = 0;
    const long long days = left / 86400;
    const long long hours = left / 3600 - 24 * days;
    const long long minutes = left / 60 - 60 * (left / 3600);
    const long long seconds = left - 60 * (left / 60);
    return formatC("%lld:%02lld:%02lld:%02lld", days, hours, minutes, seconds);
}

} // namespace nivra
