// Whole runs through the main window in virtual time: the live display while a run goes on, its
// end, Stop, two counters at once with switching, screen updates off and on, and closing.

#include "engine/assay_run.h"
#include "main_window_fixture.h"
#include "ui/main_window/live_texts.h"

#include <QImage>
#include <QPushButton>

using nivra::ui::CounterSlot;
using nivra::ui::endTimeText;
using nivra::ui::pointText;
using nivra::ui::RangeSlider;
using nivra::ui::RUNNING;
using nivra::ui::STOPPED;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

using RunTest = MainWindowTest;

// Dwell 10 s, total 60 s: points close at T+11, T+21, ... (the first pass strictly after each
// dwell end), six in all.
TEST_F(RunTest, ARunShowsItsCountsEverySecondAndItsEnd) {
    open();
    counters_.setRate(1, 1, 1); // second k counts k
    const std::int64_t t0 = clock_.startSeconds();
    clock_.pauseAt(t0 + 25);
    startRun(1, writeAssay("short", 10, 60));

    // Started: the slot runs and only Stop is offered among the run and file commands.
    const CounterSlot& slot = window_->slot(1);
    EXPECT_FALSE(slot.saved);
    EXPECT_EQ(text(&Ui::status), "RUNNING");
    EXPECT_TRUE(enabled(res::Command::RunStop));
    EXPECT_FALSE(enabled(res::Command::RunStart));
    EXPECT_FALSE(enabled(res::Command::FileNew));
    EXPECT_FALSE(enabled(res::Command::FileSave));
    EXPECT_TRUE(window_->ui().screenUpdates->isEnabled());

    // At T+25 the register has grown in seconds 1 to 24: two points of exactly one dwell each,
    // seconds 1 to 10 and 11 to 20, and the seconds 21 to 24 in the current dwell.
    ASSERT_TRUE(clock_.waitUntilPaused());
    // (The display reads the record as it is, so the chart already had both points earlier.)
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::countsDwell) == "Counts Curr Dwell: 90"; }));
    EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 24");
    EXPECT_EQ(slot.data->counts(), (std::vector<std::int32_t>{55, 155}));
    EXPECT_EQ(chartRows(), 2);
    EXPECT_EQ(chartWidget()->label(2), "2:155");
    EXPECT_EQ(progress(), 33);
    EXPECT_EQ(text(&Ui::endTime).toStdString(), endTimeText(t0 + 60));
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left: 0:00:00:35");
    EXPECT_TRUE(slider()->isEnabled());
    EXPECT_EQ(text(&Ui::roiMin), "1");
    EXPECT_EQ(text(&Ui::roiMax), "2");
    EXPECT_EQ(items(&Ui::headerList).size(), 7);
    EXPECT_EQ(items(&Ui::headerList).first().left(12), "Start Time: ");
    // One blink per report: the start, 24 seconds and 2 points make 27, so it is on.
    EXPECT_TRUE(heartbeat());

    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_EQ(slot.run, nullptr);
    EXPECT_TRUE(pumpUntilNoRuns());
    EXPECT_EQ(slot.data->pointCount(), 6u);
    EXPECT_EQ(chartRows(), 6);
    EXPECT_EQ(progress(), 100);
    EXPECT_EQ(text(&Ui::status), "STOPPED");
    EXPECT_FALSE(heartbeat());
    EXPECT_TRUE(window_->screenUpdates());
    EXPECT_EQ(text(&Ui::roiMax), "6");
    EXPECT_EQ(items(&Ui::headerList).last().left(10), "End Time: ");
    EXPECT_FALSE(window_->ui().screenUpdates->isEnabled());
    EXPECT_TRUE(slider()->isEnabled());
    EXPECT_TRUE(enabled(res::Command::FileNew));
    EXPECT_TRUE(enabled(res::Command::FileSave));
    EXPECT_FALSE(enabled(res::Command::RunStop));
    // The end time keeps its last text at the end of a run.
    EXPECT_EQ(text(&Ui::endTime).toStdString(), endTimeText(t0 + 60));
}

TEST_F(RunTest, StopAsksAndOnlyYesEndsTheRunKeepingTheClosedPoints) {
    open();
    counters_.setRate(1, 1, 1);
    clock_.pauseAt(clock_.startSeconds() + 15);
    startRun(1, writeAssay("long", 10, 3600));
    ASSERT_TRUE(clock_.waitUntilPaused());
    // Every report up to the pause handled: one point, and seconds 11 to 14 in the dwell.
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::countsDwell) == "Counts Curr Dwell: 50"; }));
    ASSERT_EQ(chartRows(), 1);

    prompts_.clear();
    prompts_.reply(ui::Answer::No);
    choose(res::Command::RunStop);
    ASSERT_EQ(prompts_.questions().size(), 1u);
    EXPECT_EQ(prompts_.questions()[0].text,
              "Assay is currently running on this counter. Are you sure you want to stop it? \n "
              "You will have the option to save this data if you stop.");
    EXPECT_EQ(prompts_.questions()[0].buttons, ui::MessageButtons::YesNo);
    EXPECT_EQ(prompts_.questions()[0].sound, ui::Sound::Exclamation);

    prompts_.reply(ui::Answer::Yes);
    choose(res::Command::RunStop);
    ASSERT_TRUE(window_->slot(1).run && window_->slot(1).run->stopRequested());
    // The slot runs until the run itself reports its end.
    EXPECT_EQ(window_->slot(1).state, RUNNING);
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    const AssayData& data = *window_->slot(1).data;
    EXPECT_EQ(data.pointCount(), 1u); // the partial dwell is not a point
    EXPECT_EQ(data.headerLines().back().rfind("STOP TIME: ", 0), 0u);
    EXPECT_EQ(items(&Ui::headerList).last().left(11), "STOP TIME: ");

    // Stop on a slot without a run (its item is grayed) only says so.
    prompts_.clear();
    send(res::Command::RunStop);
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList{"Can not stop: No assay running for active counter."});
}

TEST_F(RunTest, TwoCountersRunAtOnceAndTheDisplayFollowsTheActiveOne) {
    open();
    counters_.setRate(1, 2);
    counters_.setRate(2, 5);
    counters_.holdAt(1, 40);
    counters_.holdAt(2, 40);
    const std::string assay = writeAssay("two", 10, 120);
    startRun(1, assay);
    startRun(2, assay);
    choose(res::Command::Viewer);

    // Both runs go on while the viewer is shown: nothing of theirs reaches the screen.
    ASSERT_TRUE(counters_.waitUntilHeld(1) && counters_.waitUntilHeld(2));
    pumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 0");
    EXPECT_EQ(text(&Ui::countsDwell), "Counts Cur Dwell: 0");
    EXPECT_EQ(text(&Ui::status), "VIEWER");
    EXPECT_EQ(progress(), 0);
    EXPECT_EQ(chartRows(), 0);

    // Switching to a running counter shows what it has collected so far.
    choose(res::Command::Counter2);
    const std::size_t points = window_->slot(2).pointCount();
    ASSERT_GE(points, 2u);
    EXPECT_EQ(static_cast<std::size_t>(chartRows()), points);
    EXPECT_EQ(text(&Ui::status), "RUNNING");
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE COUNTER: 2");
    EXPECT_EQ(text(&Ui::roiMax), QString::number(points));
    EXPECT_EQ(items(&Ui::dataDump).size(), static_cast<qsizetype>(points));
    EXPECT_EQ(items(&Ui::dataDump).first(),
              QString::fromStdString(pointText(1, window_->slot(2).data->counts()[0])));
    EXPECT_EQ(items(&Ui::roiDump), items(&Ui::dataDump));
    // Its planned end and the time left at once, not only from its next second on.
    const std::int64_t end = window_->slot(2).data->endTime();
    EXPECT_EQ(text(&Ui::endTime).toStdString(), endTimeText(end));
    EXPECT_EQ(text(&Ui::timeLeft).toStdString(), ui::timeLeftText(end, clock_.now()));
    EXPECT_FALSE(heartbeat());
    EXPECT_FALSE(checked(res::Command::Counter1));
    EXPECT_TRUE(checked(res::Command::Counter2));
    EXPECT_FALSE(checked(res::Command::Viewer));

    // From now on counter 2's reports reach the labels, counter 1's do not.
    counters_.releaseAll();
    ASSERT_TRUE(pumpUntilStopped(1) && pumpUntilStopped(2));
    EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 5");
    EXPECT_EQ(window_->slot(1).data->pointCount(), 12u);
    EXPECT_EQ(window_->slot(2).data->pointCount(), 12u);
    EXPECT_EQ(chartRows(), 12);
    EXPECT_EQ(chartWidget()->label(12), pointText(12, window_->slot(2).data->counts()[11]));

    choose(res::Command::Counter1);
    EXPECT_EQ(text(&Ui::status), "STOPPED");
    EXPECT_EQ(chartWidget()->label(1), pointText(1, window_->slot(1).data->counts()[0]));
    choose(res::Command::Viewer);
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(checked(res::activeCounterCommand(k + 1)));
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE: VIEWER");
    EXPECT_EQ(chartRows(), 0);
}

// With screen updates off the operator's region of interest stays while the labels go on; the
// button, or the end of a run on another counter, brings all points back.
TEST_F(RunTest, ScreenUpdatesOffKeepTheRegionOfInterestUntilSwitchedOn) {
    open();
    counters_.setRate(1, 1, 1); // read k of counter 1 counts k
    counters_.setRate(2, 1);
    counters_.holdAt(2, 20);
    counters_.holdAt(1, 60);
    startRun(2, writeAssay("brief", 10, 100));
    startRun(1, writeAssay("hour", 10, 3600));
    ASSERT_TRUE(counters_.waitUntilHeld(2) && counters_.waitUntilHeld(1));
    const int points = static_cast<int>(window_->slot(1).pointCount());
    ASSERT_GE(points, 4);
    // Every report of counter 1 before its held read handled.
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::countsLastSecond) == "Counts Last Sec: 59"; }));
    ASSERT_EQ(chartRows(), points);

    window_->ui().screenUpdates->click();
    EXPECT_FALSE(window_->screenUpdates());
    EXPECT_EQ(text(&Ui::screenUpdates), "Enable Screen Updates");

    // The operator narrows the slider to points 2 to 3 and lets go: the edits follow while the
    // thumb moves, the chart on release.
    RangeSlider* slider = this->slider();
    const auto narrowToTwoAndThree = [&] {
        // The press lands within a pixel of the thumb's value: 3.5 stays above 3.
        slider->setSelection(2.0, 3.5);
        (void)slider->grab(); // lays the slider out
        const RangeSlider::Rect high = slider->highThumbRect();
        const QPoint thumb((high.left + high.right) / 2, (high.top + high.bottom) / 2);
        sendMouse(slider, QEvent::MouseButtonPress, thumb, Qt::LeftButton, Qt::LeftButton);
        sendMouse(slider, QEvent::MouseMove, thumb, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(text(&Ui::roiMin), "2");
        EXPECT_EQ(text(&Ui::roiMax), "3");
        EXPECT_GT(chartRows(), 2);
        sendMouse(slider, QEvent::MouseButtonRelease, thumb, Qt::LeftButton, Qt::NoButton);
    };
    narrowToTwoAndThree();
    EXPECT_EQ(chartRows(), 2);
    EXPECT_EQ(chartWidget()->label(1).substr(0, 2), "2:");

    // The run goes on: the labels move, the region stays.
    const QString timeLeft = text(&Ui::timeLeft);
    counters_.holdAt(1, 81);
    counters_.release(1);
    ASSERT_TRUE(counters_.waitUntilHeld(1));
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::countsLastSecond) == "Counts Last Sec: 80"; }));
    EXPECT_GT(window_->slot(1).pointCount(), static_cast<std::size_t>(points));
    EXPECT_EQ(chartRows(), 2);
    EXPECT_EQ(text(&Ui::roiMax), "3");
    EXPECT_NE(text(&Ui::timeLeft), timeLeft);

    // Keyboard moves change at most the edits.
    sendKey(slider, QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(chartRows(), 2);

    window_->ui().screenUpdates->click();
    EXPECT_TRUE(window_->screenUpdates());
    EXPECT_EQ(text(&Ui::screenUpdates), "Disable Screen Updates");
    EXPECT_EQ(static_cast<std::size_t>(chartRows()), window_->slot(1).pointCount());
    EXPECT_EQ(text(&Ui::roiMin), "1");

    // Off again; then counter 2's run ends in the background and brings them back.
    window_->ui().screenUpdates->click();
    ASSERT_FALSE(window_->screenUpdates());
    narrowToTwoAndThree();
    ASSERT_EQ(chartRows(), 2);
    counters_.release(2);
    ASSERT_TRUE(pumpUntil([&] { return window_->slot(2).state == STOPPED; }));
    EXPECT_TRUE(window_->screenUpdates());
    EXPECT_EQ(static_cast<std::size_t>(chartRows()), window_->slot(1).pointCount());

    prompts_.reply(ui::Answer::Yes);
    choose(res::Command::RunStop);
    counters_.release(1);
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_EQ(static_cast<std::size_t>(chartRows()), window_->slot(1).pointCount());
}

TEST_F(RunTest, TheWindowClosesOnlyWithoutRunsAndStopsRunsWhenDestroyed) {
    open();
    bool closed = false;
    QObject::connect(window_.get(), &ui::MainWindow::closed, [&] { closed = true; });
    counters_.setRate(1, 1);
    clock_.pauseAt(clock_.startSeconds() + 5);
    startRun(1, writeAssay("day", 10, 86400));
    ASSERT_TRUE(clock_.waitUntilPaused());

    choose(res::Command::Exit);
    EXPECT_FALSE(closed);
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"assay(s) running, stop first"});
    window_->close(); // the close box takes the same way
    EXPECT_FALSE(closed);

    // A window that goes while a run is attached stops it first: the run never reports to a
    // window or fills a record that is gone.
    clock_.resume();
    window_.reset();

    open();
    QObject::connect(window_.get(), &ui::MainWindow::closed, [&] { closed = true; });
    choose(res::Command::Exit);
    EXPECT_TRUE(closed);
}

// A picture of the window during a run, kept with the build for the documentation.
TEST_F(RunTest, ScreenshotDuringARun) {
    open();
    counters_.setRate(1, 2);
    counters_.setNoise(1, 4);
    counters_.holdAt(1, 700);
    startRun(1, writeAssay("demo", 10, 1200));
    ASSERT_TRUE(counters_.waitUntilHeld(1));
    pumpFor(std::chrono::milliseconds(300));
    const QImage image = window_->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(image.save(QString::fromStdString(folder + "/main_window.png")));
}

} // namespace
