// The plain rules behind the main window: command enabling per state and the progress position.

#include "ui/main_window/command_states.h"
#include "ui/main_window/live_texts.h"

#include <gtest/gtest.h>
#include <limits>

using nivra::ui::CommandStates;
using nivra::ui::commandStatesFor;
using nivra::ui::CounterState;
using nivra::ui::countsCurrentDwellText;
using nivra::ui::DEMO;
using nivra::ui::NEW;
using nivra::ui::progressPosition;
using nivra::ui::RUNNING;
using nivra::ui::StatusControls;
using nivra::ui::statusControlsFor;
using nivra::ui::STOPPED;
using nivra::ui::VIEWER;

namespace {

TEST(CommandStates, EachStateOffersItsCommandsAndNoneForAnInvalidState) {
    //                                                        new    open   save   start  stop
    EXPECT_EQ(commandStatesFor(VIEWER, false), (CommandStates{false, true, false, false, false}));
    EXPECT_EQ(commandStatesFor(VIEWER, true), (CommandStates{false, true, true, false, false}));
    EXPECT_EQ(commandStatesFor(DEMO, true), (CommandStates{true, false, false, false, false}));
    EXPECT_EQ(commandStatesFor(NEW, true), (CommandStates{false, false, false, true, false}));
    EXPECT_EQ(commandStatesFor(RUNNING, true), (CommandStates{false, false, false, false, true}));
    EXPECT_EQ(commandStatesFor(STOPPED, false), (CommandStates{true, false, true, false, false}));
    EXPECT_EQ(commandStatesFor(static_cast<CounterState>(5), true), std::nullopt);
    // A running slot and the viewer offer their slider once they hold a point.
    using Slider = StatusControls::Slider;
    EXPECT_EQ(statusControlsFor(RUNNING, false), (StatusControls{true, Slider::Disabled}));
    EXPECT_EQ(statusControlsFor(RUNNING, true), (StatusControls{true, Slider::Enabled}));
    EXPECT_EQ(statusControlsFor(VIEWER, true), (StatusControls{false, Slider::Enabled}));
    EXPECT_EQ(statusControlsFor(VIEWER, false), (StatusControls{false, Slider::Disabled}));
    EXPECT_EQ(statusControlsFor(static_cast<CounterState>(-1), true), std::nullopt);
}

TEST(ProgressPosition, WholePerCentWithinTheBar) {
    EXPECT_EQ(progressPosition(0.999), 99);
    EXPECT_EQ(progressPosition(1.0), 100);
    EXPECT_EQ(progressPosition(400.0), 100); // a run shorter than its dwell; 16 bits would wrap
    EXPECT_EQ(progressPosition(-0.5), 0);
    EXPECT_EQ(progressPosition(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(progressPosition(std::numeric_limits<double>::infinity()), 0);
    // The run sums the dwell's hours point by point; the sum of a complete run misses 1 by
    // rounding and must still show the end.
    for (int points : {3, 6, 7, 49, 360}) {
        double elapsed = 0.0;
        for (int k = 0; k < points; ++k)
            elapsed += 10.0 / 3600.0;
        EXPECT_EQ(progressPosition(elapsed / (points * 10 / 3600.0)), 100) << points;
    }
    EXPECT_EQ(countsCurrentDwellText(3'000'000'000LL), "Counts Curr Dwell: 3000000000");
}

} // namespace
