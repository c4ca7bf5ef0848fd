// The live display writes a label only when its text changes, and its memory of what a label
// shows stays true when a slot switch resets the labels.

#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "ui/controls/dialog_base.h"
#include "ui/main_window/live_display.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/main_window.h"
#include "ui/resources/resource_ids.h"

#include <QCheckBox>
#include <QProgressBar>
#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::ui::activeLabelText;
using nivra::ui::countsCurrentDwellText;
using nivra::ui::countsLastSecondText;
using nivra::ui::DialogBase;
using nivra::ui::endTimeText;
using nivra::ui::timeLeftText;

namespace {

namespace ids = nivra::ui::main;

TEST(LiveDisplay, ASecondWritesOnlyChangedLabelsAndASlotSwitchIsRemembered) {
    DialogBase window(nivra::res::kDialogMain);
    nivra::ui::LiveDisplay live(window);
    AssayData record(CounterConfig::defaults(), AssayConfig::defaults(), 1);
    record.setEndTime(1'000'000);
    record.setProgress(0.5);
    const auto text = [&](int id) { return window.itemText(id).toStdString(); };
    auto* heartbeat = window.controlAs<QCheckBox>(ids::kHeartbeatBox);

    live.showSecond(&record, 7, 21, 999'000);
    EXPECT_EQ(text(ids::kCountsLastSecondLabel), countsLastSecondText(7));
    EXPECT_EQ(text(ids::kCountsDwellLabel), countsCurrentDwellText(21));
    EXPECT_EQ(text(ids::kEndTimeLabel), endTimeText(1'000'000));
    EXPECT_EQ(text(ids::kTimeLeftLabel), timeLeftText(1'000'000, 999'000));
    EXPECT_EQ(window.controlAs<QProgressBar>(ids::kProgressBar)->value(), 50);
    EXPECT_TRUE(heartbeat->isChecked());

    // Marks on the labels show which ones the next second writes: only the changed ones.
    for (int id : {ids::kCountsLastSecondLabel, ids::kCountsDwellLabel, ids::kEndTimeLabel,
                   ids::kTimeLeftLabel})
        window.setItemText(id, QStringLiteral("unwritten"));
    live.showSecond(&record, 7, 28, 999'001);
    EXPECT_EQ(text(ids::kCountsLastSecondLabel), "unwritten");
    EXPECT_EQ(text(ids::kCountsDwellLabel), countsCurrentDwellText(28));
    EXPECT_EQ(text(ids::kEndTimeLabel), "unwritten");
    EXPECT_EQ(text(ids::kTimeLeftLabel), timeLeftText(1'000'000, 999'001));
    EXPECT_FALSE(heartbeat->isChecked()) << "the heartbeat beats every second";

    // A switch to a slot without a run clears the counts and times; back on the running slot its
    // planned end and time left show at once, its counts with its next second.
    live.showActive(2, nullptr, false, 999'001);
    EXPECT_EQ(text(ids::kActiveLabel), activeLabelText(2));
    EXPECT_EQ(text(ids::kCountsLastSecondLabel), "Counts Last Sec: 0");
    EXPECT_EQ(text(ids::kEndTimeLabel), "End Time: ");
    EXPECT_EQ(text(ids::kTimeLeftLabel), "Time Left:");
    live.showActive(1, &record, true, 999'001);
    EXPECT_EQ(text(ids::kEndTimeLabel), endTimeText(1'000'000));
    EXPECT_EQ(text(ids::kTimeLeftLabel), timeLeftText(1'000'000, 999'001));
    live.showActive(1, &record, false, 999'001);
    EXPECT_EQ(text(ids::kEndTimeLabel), endTimeText(1'000'000)) << "a stopped run";
    EXPECT_EQ(text(ids::kTimeLeftLabel), "Time Left:");
    live.showSecond(&record, 7, 28, 999'001);
    EXPECT_EQ(text(ids::kEndTimeLabel), endTimeText(1'000'000));
    EXPECT_EQ(text(ids::kTimeLeftLabel), timeLeftText(1'000'000, 999'001));
    live.restartDwell();
    EXPECT_EQ(text(ids::kCountsDwellLabel), countsCurrentDwellText(0));
}

} // namespace
