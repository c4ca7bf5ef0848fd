#pragma once

#include <cmath>
#include <limits>

namespace nivra::ui {

// The integer part of a value (truncated toward zero), saturated to the int range; 0 for a value
// that is not a number. Converting a non-finite or out-of-range double to int directly would be
// undefined.
inline int truncToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace nivra::ui
