#pragma once

#include <cstdint>
#include <string>

namespace nivra {

// The time left until a run's planned end as days:hours:minutes:seconds, the days without
// padding and the rest as two digits ("1:02:03:04"). A planned end that has passed shows
// "0:00:00:00".
std::string formatTimeLeft(std::int64_t endTime, std::int64_t now);

} // namespace nivra
