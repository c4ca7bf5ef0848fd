// The live display writes a label only when its text changes, and its memory of what a label
// shows stays true when a slot switch resets the labels.

#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "ui/controls/template_dialog.h"
#include "ui/main_window/live_display.h"
#include "ui/main_window/live_texts.h"
#include "ui/main_window/main_window.h"
#include "ui/resources/main_window_ui.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::ui::activeLabelText;
using nivra::ui::countsCurrentDwellText;
using nivra::ui::countsLastSecondText;
using nivra::ui::endTimeText;
using nivra::ui::timeLeftText;

namespace {

using Ui = nivra::ui::MainWindowUi;

TEST(LiveDisplay, ASecondWritesOnlyChangedLabelsAndASlotSwitchIsRemembered) {
    nivra::ui::TemplateDialog window(nivra::res::mainWindowTemplate(), nullptr);
    const Ui ui = window.form()->bind<Ui>();
    nivra::ui::LiveDisplay live(ui);
    AssayData record(CounterConfig::defaults(), AssayConfig::defaults(), 1);
    record.setEndTime(1'000'000);
    record.setProgress(0.5);
    const auto text = [&](QLabel* Ui::*label) { return (ui.*label)->text().toStdString(); };
    auto* heartbeat = ui.heartbeat;

    live.showSecond(&record, 7, 21, 999'000);
    EXPECT_EQ(text(&Ui::countsLastSecond), countsLastSecondText(7));
    EXPECT_EQ(text(&Ui::countsDwell), countsCurrentDwellText(21));
    EXPECT_EQ(text(&Ui::endTime), endTimeText(1'000'000));
    EXPECT_EQ(text(&Ui::timeLeft), timeLeftText(1'000'000, 999'000));
    EXPECT_EQ(ui.progress->value(), 50);
    EXPECT_TRUE(heartbeat->isChecked());

    // Marks on the labels show which ones the next second writes: only the changed ones.
    for (QLabel* label : {ui.countsLastSecond, ui.countsDwell, ui.endTime, ui.timeLeft})
        label->setText(QStringLiteral("unwritten"));
    live.showSecond(&record, 7, 28, 999'001);
    EXPECT_EQ(text(&Ui::countsLastSecond), "unwritten");
    EXPECT_EQ(text(&Ui::countsDwell), countsCurrentDwellText(28));
    EXPECT_EQ(text(&Ui::endTime), "unwritten");
    EXPECT_EQ(text(&Ui::timeLeft), timeLeftText(1'000'000, 999'001));
    EXPECT_FALSE(heartbeat->isChecked()) << "the heartbeat beats every second";

    // A switch to a slot without a run clears the counts and times; back on the running slot its
    // planned end and time left show at once, its counts with its next second.
    live.showActive(2, nullptr, false, 999'001);
    EXPECT_EQ(text(&Ui::activeLabel), activeLabelText(2));
    EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 0");
    EXPECT_EQ(text(&Ui::endTime), "End Time: ");
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left:");
    live.showActive(1, &record, true, 999'001);
    EXPECT_EQ(text(&Ui::endTime), endTimeText(1'000'000));
    EXPECT_EQ(text(&Ui::timeLeft), timeLeftText(1'000'000, 999'001));
    live.showActive(1, &record, false, 999'001);
    EXPECT_EQ(text(&Ui::endTime), endTimeText(1'000'000)) << "a stopped run";
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left:");
    live.showSecond(&record, 7, 28, 999'001);
    EXPECT_EQ(text(&Ui::endTime), endTimeText(1'000'000));
    EXPECT_EQ(text(&Ui::timeLeft), timeLeftText(1'000'000, 999'001));
    live.restartDwell();
    EXPECT_EQ(text(&Ui::countsDwell), countsCurrentDwellText(0));
}

} // namespace
