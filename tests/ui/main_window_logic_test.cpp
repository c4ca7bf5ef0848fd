// The plain rules behind the main window: command enabling per state and the progress position.

#include "ui/main_window/command_states.h"
#include "ui/main_window/live_texts.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(CommandStates, EachStateOffersItsCommandsAndNoneForAnInvalidState) {
    //                                                        new    open   save   start  stop
    EXPECT_EQ(CommandStatesFor(VIEWER, false), (CommandStates{false, true, false, false, false}));
    EXPECT_EQ(CommandStatesFor(VIEWER, true), (CommandStates{false, true, true, false, false}));
    EXPECT_EQ(CommandStatesFor(DEMO, true), (CommandStates{true, false, false, false, false}));
    EXPECT_EQ(CommandStatesFor(NEW, true), (CommandStates{false, false, false, true, false}));
    EXPECT_EQ(CommandStatesFor(RUNNING, true), (CommandStates{false, false, false, false, true}));
    EXPECT_EQ(CommandStatesFor(STOPPED, false), (CommandStates{true, false, true, false, false}));
    EXPECT_EQ(CommandStatesFor(static_cast<CounterState>(5), true), std::nullopt);
    // A running slot and the viewer offer their slider once they hold a point.
    using Slider = StatusControls::Slider;
    EXPECT_EQ(StatusControlsFor(RUNNING, false), (StatusControls{true, Slider::Disabled}));
    EXPECT_EQ(StatusControlsFor(RUNNING, true), (StatusControls{true, Slider::Enabled}));
    EXPECT_EQ(StatusControlsFor(VIEWER, true), (StatusControls{false, Slider::Enabled}));
    EXPECT_EQ(StatusControlsFor(VIEWER, false), (StatusControls{false, Slider::Disabled}));
    EXPECT_EQ(StatusControlsFor(static_cast<CounterState>(-1), true), std::nullopt);
}

TEST(ProgressPosition, WholePerCentWithinTheBar) {
    EXPECT_EQ(ProgressPosition(0.999), 99);
    EXPECT_EQ(ProgressPosition(1.0), 100);
    EXPECT_EQ(ProgressPosition(400.0), 100); // a run shorter than its dwell; 16 bits would wrap
    EXPECT_EQ(ProgressPosition(-0.5), 0);
    EXPECT_EQ(ProgressPosition(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ProgressPosition(std::numeric_limits<double>::infinity()), 0);
    // The run sums the dwell's hours point by point; the sum of a complete run misses 1 by
    // rounding and must still show the end.
    for (int points : {3, 6, 7, 49, 360}) {
        double elapsed = 0.0;
        for (int k = 0; k < points; ++k)
            elapsed += 10.0 / 3600.0;
        EXPECT_EQ(ProgressPosition(elapsed / (points * 10 / 3600.0)), 100) << points;
    }
    EXPECT_EQ(CountsCurrentDwellText(3'000'000'000LL), "Counts Curr Dwell: 3000000000");
}

} // namespace
