// Whole runs through the main window in virtual time: the live display while a run goes on, its
// end, Stop, two counters at once with switching, screen updates off and on, and closing.

#include "engine/assay_run.h"
#include "main_window_fixture.h"
#include "ui/main_window/live_texts.h"

#include <QImage>
#include <QPushButton>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

using RunTest = MainWindowTest;

// Dwell 10 s, total 60 s: points close at T+11, T+21, ... (the first pass strictly after each
// dwell end), six in all.
TEST_F(RunTest, ARunShowsItsCountsEverySecondAndItsEnd) {
    Open();
    counters_.SetRate(1, 1, 1); // second k counts k
    const std::int64_t t0 = clock_.StartSeconds();
    clock_.PauseAt(t0 + 25);
    StartRun(1, WriteAssay("short", 10, 60));

    // Started: the slot runs and only Stop is offered among the run and file commands.
    const CounterSlot& slot = window_->Slot(1);
    EXPECT_FALSE(slot.saved);
    EXPECT_EQ(Text(ids::kStatusLabel), "RUNNING");
    EXPECT_TRUE(Enabled(res::kCmdRunStop));
    EXPECT_FALSE(Enabled(res::kCmdRunStart));
    EXPECT_FALSE(Enabled(res::kCmdFileNew));
    EXPECT_FALSE(Enabled(res::kCmdFileSave));
    EXPECT_TRUE(window_->Control(ids::kScreenUpdatesButton)->isEnabled());

    // At T+25 the register has been read in seconds 1 to 24: two points of the readings up to
    // T+11 and T+21, and the seconds 22 to 24 in the current dwell.
    ASSERT_TRUE(clock_.WaitUntilPaused());
    // (The display reads the record as it is, so the chart already had both points earlier.)
    ASSERT_TRUE(PumpUntil([&] { return Text(ids::kCountsDwellLabel) == "Counts Curr Dwell: 69"; }));
    EXPECT_EQ(Text(ids::kCountsLastSecondLabel), "Counts Last Sec: 24");
    EXPECT_EQ(slot.data->counts(), (std::vector<std::int32_t>{66, 165}));
    EXPECT_EQ(ChartRows(), 2);
    EXPECT_EQ(ChartWidget()->Label(2), "2:165");
    EXPECT_EQ(Progress(), 33);
    EXPECT_EQ(Text(ids::kEndTimeLabel).toStdString(), EndTimeText(t0 + 60));
    EXPECT_EQ(Text(ids::kTimeLeftLabel), "Time Left: 0:00:00:35");
    EXPECT_TRUE(Slider()->isEnabled());
    EXPECT_EQ(Text(ids::kRoiMinEdit), "1");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "2");
    EXPECT_EQ(Items(ids::kHeaderList).size(), 7);
    EXPECT_EQ(Items(ids::kHeaderList).first().left(12), "Start Time: ");
    // One blink per report: the start, 24 seconds and 2 points make 27, so it is on.
    EXPECT_TRUE(Heartbeat());

    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_EQ(slot.run, nullptr);
    EXPECT_TRUE(PumpUntilNoRuns());
    EXPECT_EQ(slot.data->pointCount(), 6u);
    EXPECT_EQ(ChartRows(), 6);
    EXPECT_EQ(Progress(), 100);
    EXPECT_EQ(Text(ids::kStatusLabel), "STOPPED");
    EXPECT_FALSE(Heartbeat());
    EXPECT_TRUE(window_->ScreenUpdates());
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "6");
    EXPECT_EQ(Items(ids::kHeaderList).last().left(10), "End Time: ");
    EXPECT_FALSE(window_->Control(ids::kScreenUpdatesButton)->isEnabled());
    EXPECT_TRUE(Slider()->isEnabled());
    EXPECT_TRUE(Enabled(res::kCmdFileNew));
    EXPECT_TRUE(Enabled(res::kCmdFileSave));
    EXPECT_FALSE(Enabled(res::kCmdRunStop));
    // The end time keeps its last text at the end of a run.
    EXPECT_EQ(Text(ids::kEndTimeLabel).toStdString(), EndTimeText(t0 + 60));
}

TEST_F(RunTest, StopAsksAndOnlyYesEndsTheRunKeepingTheClosedPoints) {
    Open();
    counters_.SetRate(1, 1, 1);
    clock_.PauseAt(clock_.StartSeconds() + 15);
    StartRun(1, WriteAssay("long", 10, 3600));
    ASSERT_TRUE(clock_.WaitUntilPaused());
    // Every report up to the pause handled: one point, and seconds 12 to 14 in the dwell.
    ASSERT_TRUE(PumpUntil([&] { return Text(ids::kCountsDwellLabel) == "Counts Curr Dwell: 39"; }));
    ASSERT_EQ(ChartRows(), 1);

    prompts_.Clear();
    prompts_.Reply(ui::Answer::No);
    Choose(res::kCmdRunStop);
    ASSERT_EQ(prompts_.Questions().size(), 1u);
    EXPECT_EQ(prompts_.Questions()[0].text,
              "Assay is currently running on this counter. Are you sure you want to stop it? \n "
              "You will have the option to save this data if you stop.");
    EXPECT_EQ(prompts_.Questions()[0].buttons, ui::MessageButtons::YesNo);
    EXPECT_EQ(prompts_.Questions()[0].sound, ui::Sound::Exclamation);

    prompts_.Reply(ui::Answer::Yes);
    Choose(res::kCmdRunStop);
    ASSERT_TRUE(window_->Slot(1).run && window_->Slot(1).run->stopRequested());
    // The slot runs until the run itself reports its end.
    EXPECT_EQ(window_->Slot(1).state, RUNNING);
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    const AssayData& data = *window_->Slot(1).data;
    EXPECT_EQ(data.pointCount(), 1u); // the partial dwell is not a point
    EXPECT_EQ(data.headerLines().back().rfind("STOP TIME: ", 0), 0u);
    EXPECT_EQ(Items(ids::kHeaderList).last().left(11), "STOP TIME: ");

    // Stop on a slot without a run (its item is grayed) only says so.
    prompts_.Clear();
    Send(res::kCmdRunStop);
    EXPECT_EQ(prompts_.MessageTexts(),
              QStringList{"Can not stop: No assay running for active counter."});
}

TEST_F(RunTest, TwoCountersRunAtOnceAndTheDisplayFollowsTheActiveOne) {
    Open();
    counters_.SetRate(1, 2);
    counters_.SetRate(2, 5);
    counters_.HoldAt(1, 40);
    counters_.HoldAt(2, 40);
    const std::string assay = WriteAssay("two", 10, 120);
    StartRun(1, assay);
    StartRun(2, assay);
    Choose(res::kCmdViewer);

    // Both runs go on while the viewer is shown: nothing of theirs reaches the screen.
    ASSERT_TRUE(counters_.WaitUntilHeld(1) && counters_.WaitUntilHeld(2));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(Text(ids::kCountsLastSecondLabel), "Counts Last Sec: 0");
    EXPECT_EQ(Text(ids::kCountsDwellLabel), "Counts Cur Dwell: 0");
    EXPECT_EQ(Text(ids::kStatusLabel), "VIEWER");
    EXPECT_EQ(Progress(), 0);
    EXPECT_EQ(ChartRows(), 0);

    // Switching to a running counter shows what it has collected so far.
    Choose(res::kCmdCounter1 + 1);
    const std::size_t points = window_->Slot(2).PointCount();
    ASSERT_GE(points, 2u);
    EXPECT_EQ(static_cast<std::size_t>(ChartRows()), points);
    EXPECT_EQ(Text(ids::kStatusLabel), "RUNNING");
    EXPECT_EQ(Text(ids::kActiveLabel), "ACTIVE COUNTER: 2");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), QString::number(points));
    EXPECT_EQ(Items(ids::kDataDumpList).size(), static_cast<qsizetype>(points));
    EXPECT_EQ(Items(ids::kDataDumpList).first(),
              QString::fromStdString(PointText(1, window_->Slot(2).data->counts()[0])));
    EXPECT_EQ(Items(ids::kRoiDumpList), Items(ids::kDataDumpList));
    EXPECT_EQ(Text(ids::kEndTimeLabel), "End Time: ");
    EXPECT_EQ(Text(ids::kTimeLeftLabel), "Time Left:");
    EXPECT_FALSE(Heartbeat());
    EXPECT_FALSE(Checked(res::kCmdCounter1));
    EXPECT_TRUE(Checked(res::kCmdCounter1 + 1));
    EXPECT_FALSE(Checked(res::kCmdViewer));

    // From now on counter 2's reports reach the labels, counter 1's do not.
    counters_.ReleaseAll();
    ASSERT_TRUE(PumpUntilStopped(1) && PumpUntilStopped(2));
    EXPECT_EQ(Text(ids::kCountsLastSecondLabel), "Counts Last Sec: 5");
    EXPECT_EQ(window_->Slot(1).data->pointCount(), 12u);
    EXPECT_EQ(window_->Slot(2).data->pointCount(), 12u);
    EXPECT_EQ(ChartRows(), 12);
    EXPECT_EQ(ChartWidget()->Label(12), PointText(12, window_->Slot(2).data->counts()[11]));

    Choose(res::kCmdCounter1);
    EXPECT_EQ(Text(ids::kStatusLabel), "STOPPED");
    EXPECT_EQ(ChartWidget()->Label(1), PointText(1, window_->Slot(1).data->counts()[0]));
    Choose(res::kCmdViewer);
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(Checked(res::kCmdCounter1 + k));
    EXPECT_EQ(Text(ids::kActiveLabel), "ACTIVE: VIEWER");
    EXPECT_EQ(ChartRows(), 0);
}

// With screen updates off the operator's region of interest stays while the labels go on; the
// button, or the end of a run on another counter, brings all points back.
TEST_F(RunTest, ScreenUpdatesOffKeepTheRegionOfInterestUntilSwitchedOn) {
    Open();
    counters_.SetRate(1, 1, 1); // read k of counter 1 counts k
    counters_.SetRate(2, 1);
    counters_.HoldAt(2, 20);
    counters_.HoldAt(1, 60);
    StartRun(2, WriteAssay("brief", 10, 100));
    StartRun(1, WriteAssay("hour", 10, 3600));
    ASSERT_TRUE(counters_.WaitUntilHeld(2) && counters_.WaitUntilHeld(1));
    const int points = static_cast<int>(window_->Slot(1).PointCount());
    ASSERT_GE(points, 4);
    // Every report of counter 1 before its held read handled.
    ASSERT_TRUE(
        PumpUntil([&] { return Text(ids::kCountsLastSecondLabel) == "Counts Last Sec: 59"; }));
    ASSERT_EQ(ChartRows(), points);

    window_->DispatchCommand(ids::kScreenUpdatesButton);
    EXPECT_FALSE(window_->ScreenUpdates());
    EXPECT_EQ(Text(ids::kScreenUpdatesButton), "Enable Screen Updates");

    // The operator narrows the slider to points 2 to 3 and lets go: the edits follow while the
    // thumb moves, the chart on release.
    CRangeSlider* slider = Slider();
    const auto narrowToTwoAndThree = [&] {
        // The press lands within a pixel of the thumb's value: 3.5 stays above 3.
        slider->SetSelection(2.0, 3.5);
        (void)slider->grab(); // lays the slider out
        const CRangeSlider::Rect high = slider->HighThumbRect();
        const QPoint thumb((high.left + high.right) / 2, (high.top + high.bottom) / 2);
        SendMouse(slider, QEvent::MouseButtonPress, thumb, Qt::LeftButton, Qt::LeftButton);
        SendMouse(slider, QEvent::MouseMove, thumb, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(Text(ids::kRoiMinEdit), "2");
        EXPECT_EQ(Text(ids::kRoiMaxEdit), "3");
        EXPECT_GT(ChartRows(), 2);
        SendMouse(slider, QEvent::MouseButtonRelease, thumb, Qt::LeftButton, Qt::NoButton);
    };
    narrowToTwoAndThree();
    EXPECT_EQ(ChartRows(), 2);
    EXPECT_EQ(ChartWidget()->Label(1).substr(0, 2), "2:");

    // The run goes on: the labels move, the region stays.
    const QString timeLeft = Text(ids::kTimeLeftLabel);
    counters_.HoldAt(1, 81);
    counters_.Release(1);
    ASSERT_TRUE(counters_.WaitUntilHeld(1));
    ASSERT_TRUE(
        PumpUntil([&] { return Text(ids::kCountsLastSecondLabel) == "Counts Last Sec: 80"; }));
    EXPECT_GT(window_->Slot(1).PointCount(), static_cast<std::size_t>(points));
    EXPECT_EQ(ChartRows(), 2);
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "3");
    EXPECT_NE(Text(ids::kTimeLeftLabel), timeLeft);

    // Keyboard moves change at most the edits.
    SendKey(slider, QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(ChartRows(), 2);

    window_->DispatchCommand(ids::kScreenUpdatesButton);
    EXPECT_TRUE(window_->ScreenUpdates());
    EXPECT_EQ(Text(ids::kScreenUpdatesButton), "Disable Screen Updates");
    EXPECT_EQ(static_cast<std::size_t>(ChartRows()), window_->Slot(1).PointCount());
    EXPECT_EQ(Text(ids::kRoiMinEdit), "1");

    // Off again; then counter 2's run ends in the background and brings them back.
    window_->DispatchCommand(ids::kScreenUpdatesButton);
    ASSERT_FALSE(window_->ScreenUpdates());
    narrowToTwoAndThree();
    ASSERT_EQ(ChartRows(), 2);
    counters_.Release(2);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slot(2).state == STOPPED; }));
    EXPECT_TRUE(window_->ScreenUpdates());
    EXPECT_EQ(static_cast<std::size_t>(ChartRows()), window_->Slot(1).PointCount());

    prompts_.Reply(ui::Answer::Yes);
    Choose(res::kCmdRunStop);
    counters_.Release(1);
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_EQ(static_cast<std::size_t>(ChartRows()), window_->Slot(1).PointCount());
}

TEST_F(RunTest, TheWindowClosesOnlyWithoutRunsAndStopsRunsWhenDestroyed) {
    Open();
    bool closed = false;
    QObject::connect(window_.get(), &QDialog::finished, [&] { closed = true; });
    counters_.SetRate(1, 1);
    clock_.PauseAt(clock_.StartSeconds() + 5);
    StartRun(1, WriteAssay("day", 10, 86400));
    ASSERT_TRUE(clock_.WaitUntilPaused());

    Choose(res::kCmdExit);
    EXPECT_FALSE(closed);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"assay(s) running, stop first"});
    window_->reject(); // the close box takes the same way
    EXPECT_FALSE(closed);

    // A window that goes while a run is attached stops it first: the run never reports to a
    // window or fills a record that is gone.
    clock_.Resume();
    window_.reset();

    Open();
    QObject::connect(window_.get(), &QDialog::finished, [&] { closed = true; });
    Choose(res::kCmdExit);
    EXPECT_TRUE(closed);
}

// A picture of the window during a run, kept with the build for the documentation.
TEST_F(RunTest, ScreenshotDuringARun) {
    Open();
    counters_.SetRate(1, 2);
    counters_.SetNoise(1, 4);
    counters_.HoldAt(1, 700);
    StartRun(1, WriteAssay("demo", 10, 1200));
    ASSERT_TRUE(counters_.WaitUntilHeld(1));
    PumpFor(std::chrono::milliseconds(300));
    const QImage image = window_->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(image.save(QString::fromStdString(folder + "/main_window.png")));
}

} // namespace
