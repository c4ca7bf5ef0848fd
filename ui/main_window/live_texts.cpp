#include "ui/main_window/live_texts.h"

#include "base/value_encoding.h"
#include "engine/time_left.h"

#include <cmath>

namespace nivra::ui {

std::string countsLastSecondText(std::int64_t counts) {
    return nivra::formatC("Counts Last Sec: %lld", static_cast<long long>(counts));
}

std::string countsCurrentDwellText(std::int64_t counts) {
    return nivra::formatC("Counts Curr Dwell: %lld", static_cast<long long>(counts));
}

std::string endTimeText(std::int64_t endTime) {
    return "End Time: " + nivra::formatLocalTime(endTime);
}

std::string timeLeftText(std::int64_t endTime, std::int64_t now) {
    return "Time Left: " + nivra::formatTimeLeft(endTime, now);
}

std::string activeLabelText(int slot) {
    return slot == 0 ? std::string("ACTIVE: VIEWER") : nivra::formatC("ACTIVE COUNTER: %d", slot);
}

std::string pointText(std::int64_t pointNumber, std::int32_t count) {
    return nivra::formatC("%lld:%d", static_cast<long long>(pointNumber), count);
}

int progressPosition(double progress) {
    // The progress is a sum of dwell fractions; a few units in the last place must not cost the
    // last per cent of a complete run.
    constexpr double kRoundingAllowance = 1e-9;
    const double percent = progress * 100.0 + kRoundingAllowance;
    if (!std::isfinite(percent) || percent <= 0.0)
        return 0;
    if (percent >= 100.0)
        return 100;
    return static_cast<int>(percent);
}

} // namespace nivra::ui
