#pragma once

#include <cstdint>
#include <string>

namespace nivra::ui {

// The texts and the progress position the main window shows for a slot and its run.

// "Counts Last Sec: %d" and "Counts Curr Dwell: %d". The counts are shown whole, however large.
std::string countsLastSecondText(std::int64_t counts);
std::string countsCurrentDwellText(std::int64_t counts);

// "End Time: " followed by the planned end in local time ("End Time: 12/08/25 14:03:07").
std::string endTimeText(std::int64_t endTime);
// "Time Left: " followed by days:hours:minutes:seconds until the planned end, 0:00:00:00 once
// it has passed.
std::string timeLeftText(std::int64_t endTime, std::int64_t now);

// "ACTIVE COUNTER: %d" for a counter slot, "ACTIVE: VIEWER" for the viewer (slot 0).
std::string activeLabelText(int slot);

// "%d:%d" of a 1-based point number and its count, as the dump lists show points.
std::string pointText(std::int64_t pointNumber, std::int32_t count);

// The progress bar's position for a run's progress (the fraction done): the per cent done,
// truncated toward zero and kept within the bar's 0..100. A run whose total time is shorter than
// its dwell reports more than 1 and shows 100; a progress that is not finite shows 0. A
// fraction that misses a whole per cent only by the rounding of its sum of dwells (0.99999999999
// after the last of six dwells) shows that whole per cent.
int progressPosition(double progress);

} // namespace nivra::ui
