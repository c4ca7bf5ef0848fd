// The plain rules behind the main window: command enabling and status controls per state, the
// progress position and the live texts.

#include "main_window/command_states.h"
#include "main_window/live_texts.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(CommandStates, EachStateOffersItsCommands) {
    //                                   new    open   save   start  stop
    EXPECT_EQ(CommandStatesFor(VIEWER, false), (CommandStates{false, true, false, false, false}));
    EXPECT_EQ(CommandStatesFor(VIEWER, true), (CommandStates{false, true, true, false, false}));
    EXPECT_EQ(CommandStatesFor(DEMO, true), (CommandStates{true, false, false, false, false}));
    EXPECT_EQ(CommandStatesFor(NEW, true), (CommandStates{false, false, false, true, false}));
    EXPECT_EQ(CommandStatesFor(RUNNING, true), (CommandStates{false, false, false, false, true}));
    EXPECT_EQ(CommandStatesFor(STOPPED, false), (CommandStates{true, false, true, false, false}));
    EXPECT_EQ(CommandStatesFor(static_cast<CounterState>(5), true), std::nullopt);
    EXPECT_EQ(CommandStatesFor(static_cast<CounterState>(-1), true), std::nullopt);
}

TEST(CommandStates, TheStateDecidesTheScreenUpdatesButtonAndTheSlider) {
    using Slider = StatusControls::Slider;
    EXPECT_EQ(StatusControlsFor(VIEWER, true), (StatusControls{false, Slider::Unchanged}));
    EXPECT_EQ(StatusControlsFor(DEMO, false), (StatusControls{false, Slider::Disabled}));
    EXPECT_EQ(StatusControlsFor(NEW, false), (StatusControls{false, Slider::Disabled}));
    EXPECT_EQ(StatusControlsFor(RUNNING, false), (StatusControls{true, Slider::Disabled}));
    EXPECT_EQ(StatusControlsFor(RUNNING, true), (StatusControls{true, Slider::Enabled}));
    EXPECT_EQ(StatusControlsFor(STOPPED, false), (StatusControls{false, Slider::Enabled}));
    EXPECT_EQ(StatusControlsFor(static_cast<CounterState>(7), true), std::nullopt);
    EXPECT_EQ(StatusText(static_cast<CounterState>(7)), nullptr);
    EXPECT_STREQ(StatusText(STOPPED), "STOPPED");
}

TEST(ProgressPosition, TruncatesToWholePerCentWithinTheBar) {
    EXPECT_EQ(ProgressPosition(0.0), 0);
    EXPECT_EQ(ProgressPosition(0.999), 99);
    EXPECT_EQ(ProgressPosition(1.0), 100);
    EXPECT_EQ(ProgressPosition(1.0 / 3.0), 33);
    // A run shorter than one dwell reports more than the whole run.
    EXPECT_EQ(ProgressPosition(6.0), 100);
    EXPECT_EQ(ProgressPosition(400.0), 100); // beyond 16 bits it would wrap
    EXPECT_EQ(ProgressPosition(-0.5), 0);
    EXPECT_EQ(ProgressPosition(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ProgressPosition(std::numeric_limits<double>::infinity()), 0);
}

TEST(ProgressPosition, ACompleteRunSummedDwellByDwellShowsItsEnd) {
    // The run adds the dwell's hours up point by point; the sum misses 1 by rounding.
    for (int points : {3, 6, 7, 10, 49, 360}) {
        const double dwellHours = 10.0 / 3600.0;
        double elapsed = 0.0;
        for (int k = 0; k < points; ++k)
            elapsed += dwellHours;
        EXPECT_EQ(ProgressPosition(elapsed / (points * 10 / 3600.0)), 100) << points;
        EXPECT_EQ(ProgressPosition((elapsed - dwellHours) / (points * 10 / 3600.0)),
                  static_cast<int>(std::floor(100.0 * (points - 1) / points + 1e-9)))
            << points;
    }
}

TEST(LiveTexts, LabelsShowTheirValuesWhole) {
    EXPECT_EQ(CountsLastSecondText(12), "Counts Last Sec: 12");
    EXPECT_EQ(CountsCurrentDwellText(0), "Counts Curr Dwell: 0");
    EXPECT_EQ(CountsCurrentDwellText(3'000'000'000LL), "Counts Curr Dwell: 3000000000");
    EXPECT_EQ(TimeLeftText(1000 + 93784, 1000), "Time Left: 1:02:03:04");
    EXPECT_EQ(TimeLeftText(1000, 1010), "Time Left: 0:00:00:00");
    EXPECT_EQ(EndTimeText(0).rfind("End Time: ", 0), 0u);
    EXPECT_GT(EndTimeText(0).size(), 10u);
    EXPECT_EQ(ActiveLabelText(0), "ACTIVE: VIEWER");
    EXPECT_EQ(ActiveLabelText(3), "ACTIVE COUNTER: 3");
    EXPECT_EQ(PointText(5, 12), "5:12");
    EXPECT_EQ(PointText(40000, -1), "40000:-1");
}

} // namespace
