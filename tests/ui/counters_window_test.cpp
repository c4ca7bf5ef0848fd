// The Counters window: its row values, two runs followed at once, switching by double click,
// the notification at a run's end, and the window remembered across starts.

#include "base/value_encoding.h"
#include "main_window_fixture.h"
#include "ui/controls/notifications.h"
#include "ui/main_window/counters_window.h"
#include "ui/main_window/sparkline.h"

#include <QAction>
#include <QHeaderView>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <numeric>

using nivra::ui::NEW;
using nivra::ui::RUNNING;
using nivra::ui::STOPPED;

using namespace nivra;
using namespace nivra::test;
using ui::CountersWindow;
namespace res = nivra::res;

namespace {

// Keeps every notification instead of showing it.
TEST(CounterRows, PlannedPointsTextsSparklineAndEndMessage) {
    // Points close at every dwell end; the run ends when no further whole dwell fits.
    EXPECT_EQ(ui::plannedPoints(10, 60), 6);
    EXPECT_EQ(ui::plannedPoints(10, 65), 6);
    EXPECT_EQ(ui::plannedPoints(10, 5), 1); // a dwell longer than the run still closes one
    EXPECT_EQ(ui::plannedPoints(0, 60), 0); // not known
    EXPECT_EQ(ui::pointsText(3, 12), "3 of 12");
    EXPECT_EQ(ui::pointsText(3, 0), "3");

    EXPECT_EQ(ui::endLineTime({"Start Time: a", "End Time: 12/09/26 05:14:52"}),
              "12/09/26 05:14:52");
    EXPECT_EQ(ui::endLineTime({"STOP TIME: b", "note"}), "b");
    EXPECT_EQ(ui::endLineTime({"Start Time: a"}), "");

    // Scaled from 0 to the highest point; a burst inside a group of points keeps its bar.
    EXPECT_EQ(ui::sparklineLevels({5, 10, 0}, 10), (std::vector<double>{0.5, 1.0, 0.0}));
    EXPECT_EQ(ui::sparklineLevels({1, 1, 1, 40, 1, 1, 2, 2}, 4),
              (std::vector<double>{1.0 / 40, 1.0, 1.0 / 40, 2.0 / 40}));
    EXPECT_EQ(ui::sparklineLevels({0, -3}, 5), (std::vector<double>{0.0, 0.0}));
    EXPECT_TRUE(ui::sparklineLevels({}, 5).empty());
    EXPECT_TRUE(ui::sparklineLevels({1}, 0).empty());

    EXPECT_EQ(ui::runEndMessage(2, EndReason::Time, 12, 388),
              "Counter 2: run finished, 12 points, 388 counts");
    EXPECT_EQ(ui::runEndMessage(3, EndReason::Stopped, 1, 7),
              "Counter 3: run stopped, 1 points, 7 counts");
    EXPECT_EQ(ui::runEndMessage(4, EndReason::Decided, 2, 90),
              "Counter 4: run decided, 2 points, 90 counts");

    // Without a system tray (the tests' offscreen platform) a notification is no failure.
    ui::TrayNotifier tray;
    EXPECT_FALSE(tray.notify("title", "text"));
    EXPECT_EQ(tray.icon(), nullptr);
}

// With a tray the icon is the notifier's own: it goes with the notifier, which the program ends
// before its application, never with the application's children after its platform has gone.
TEST(TrayNotifier, TheIconGoesWithTheNotifierNotWithTheApplication) {
    QPointer<QSystemTrayIcon> icon;
    {
        ui::TrayNotifier tray([] { return true; });
        EXPECT_TRUE(tray.notify("Nivra-USB", "Counter 1: run finished"));
        icon = tray.icon();
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon->parent(), nullptr);
        EXPECT_TRUE(tray.notify("Nivra-USB", "Counter 2: run finished"));
        EXPECT_EQ(tray.icon(), icon.data()) << "one icon for every notification";
    }
    EXPECT_TRUE(icon.isNull());
}

TEST(CounterRows, LiveValuesBelongToTheRunAndTheEndShowsHowAndWhen) {
    AssayConfig assay = AssayConfig::defaults();
    assay.name = "smear";
    assay.setTotalSpan(60);
    assay.dwellHours = assay.dwellMinutes = 0;
    assay.dwellSeconds = 10;
    CounterConfig counter = CounterConfig::defaults();
    counter.name = "bench";
    AssayData data(counter, assay, 2);
    data.appendPoint(7);
    data.appendPoint(9);
    data.setProgress(2.0 / 6.0);
    data.setEndTime(1000);
    ui::RunReportState reports;
    reports.lastSecond = 1;
    reports.dwellSoFar = 4;
    reports.backupSaved = false;
    reports.backupFailure = "disk full";

    ui::ClassDecisionText decision;
    ui::CounterRow row = ui::counterRow(2, RUNNING, &data, "", reports, 1000 - 3909, decision);
    EXPECT_EQ(row.counter, "2: bench");
    EXPECT_EQ(row.state, "RUNNING");
    EXPECT_EQ(row.assay, "smear");
    EXPECT_EQ(row.points, "2 of 6");
    EXPECT_EQ(row.progress, 33);
    EXPECT_EQ(row.lastSecond, "1");
    EXPECT_EQ(row.currentDwell, "4");
    EXPECT_EQ(row.timeLeft, "0:01:05:09");
    EXPECT_EQ(row.endTime, formatLocalTime(1000));
    EXPECT_EQ(row.backup, "FAILED");
    EXPECT_EQ(row.backupToolTip, "disk full");
    EXPECT_EQ(row.counts, (std::vector<std::int32_t>{7, 9}));
    EXPECT_EQ(row.decision, "-"); // the assay sets no class limit

    reports.silentSince = 990;
    row = ui::counterRow(2, RUNNING, &data, "", reports, 1000, decision);
    EXPECT_EQ(row.state, "NOT ANSWERING");
    EXPECT_EQ(row.stateToolTip, "Counter not answering since " + formatLocalTime(990));

    data.appendHeaderLine("STOP TIME: 12/09/26 05:14:52");
    reports.ended = EndReason::Stopped;
    row = ui::counterRow(2, STOPPED, &data, "", reports, 2000, decision);
    EXPECT_EQ(row.timeLeft, "stopped");
    EXPECT_EQ(row.endTime, "12/09/26 05:14:52");

    // Cleared for the next run: nothing of the last run's reports shows.
    row = ui::counterRow(2, NEW, nullptr, "bench", reports, 2000, decision);
    EXPECT_EQ(row.counter, "2: bench");
    EXPECT_EQ(row.points, "-");
    for (const std::string& text :
         {row.lastSecond, row.currentDwell, row.timeLeft, row.endTime, row.backup, row.assay})
        EXPECT_EQ(text, "-");
}

// The decision column follows the record's points and its assay's limit, also when a record with
// the same points gets another limit: the remembered text must not go stale.
TEST(CounterRows, DecisionFollowsPointsAndLimit) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = 0;
    assay.dwellSeconds = 60;
    assay.backgroundRate = 0.0;
    assay.classLimit = 1000.0; // far above what 30 counts a minute on 1000 cm² can reach
    AssayData data(CounterConfig::defaults(), assay, 1);
    ui::ClassDecisionText decision;
    const ui::RunReportState reports;
    EXPECT_EQ(ui::counterRow(1, RUNNING, &data, "", reports, 0, decision).decision, "-");
    for (int i = 0; i < 5; ++i)
        data.appendPoint(30);
    EXPECT_EQ(ui::counterRow(1, RUNNING, &data, "", reports, 0, decision).decision, "below");

    assay.classLimit = 1e-6; // far below: the sample is hot against it
    AssayData sameCounts(CounterConfig::defaults(), assay, 1);
    for (int i = 0; i < 5; ++i)
        sameCounts.appendPoint(30);
    EXPECT_EQ(ui::counterRow(1, RUNNING, &sameCounts, "", reports, 0, decision).decision, "above");
}

class CountersWindowTest : public MainWindowTest {
protected:
    CountersWindow& counters() const { return window_->counters(); }
    QString cell(int slot, int column) const {
        const int row = counters().rowOfSlot(slot);
        return row < 0 ? QString("no row") : counters().table()->item(row, column)->text();
    }
    // A double click on the row's first cell, as the mouse makes it.
    void doubleClick(int slot) {
        QTableWidget* table = counters().table();
        const QPoint at =
            table->visualItemRect(table->item(counters().rowOfSlot(slot), 0)).center();
        QWidget* viewport = table->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        sendMouse(viewport, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    static std::int64_t total(const AssayData& data) {
        const std::vector<std::int32_t> counts = data.counts();
        return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    }
};

TEST_F(CountersWindowTest, FollowsTwoRunsWhileTheMainWindowShowsOnlyTheActiveOne) {
    open(3);
    choose(res::Command::CountersWindow);
    ASSERT_TRUE(counters().isVisible());
    EXPECT_TRUE(checked(res::Command::CountersWindow));
    // The viewer and the three counters found.
    ASSERT_EQ(counters().table()->rowCount(), 4);
    EXPECT_EQ(cell(0, CountersWindow::kCounterColumn), "Viewer");
    EXPECT_EQ(cell(3, CountersWindow::kStateColumn), "DEMO");

    // Counter 1 counts steadily, counter 2 with noise; each run is held in its own stretch of
    // time, so every dwell has all its seconds.
    counters_.setRate(1, 2);
    counters_.setRate(2, 3);
    counters_.setNoise(2, 6);
    counters_.holdAt(1, 60);
    counters_.holdAt(2, 52);
    startRun(1, writeAssay("one", 10, 300));
    ASSERT_TRUE(counters_.waitUntilHeld(1));
    startRun(2, writeAssay("two", 5, 300));
    ASSERT_TRUE(counters_.waitUntilHeld(2));
    choose(res::Command::Counter1);
    pumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(cell(1, CountersWindow::kLastSecondColumn), "2");
    EXPECT_EQ(cell(1, CountersWindow::kPointsColumn),
              QString("%1 of 30").arg(window_->slot(1).pointCount()));
    EXPECT_EQ(cell(2, CountersWindow::kPointsColumn),
              QString("%1 of 60").arg(window_->slot(2).pointCount()));
    for (int slot : {1, 2}) {
        EXPECT_EQ(cell(slot, CountersWindow::kStateColumn), "RUNNING");
        EXPECT_EQ(cell(slot, CountersWindow::kCounterColumn), QString("%1: detector %1").arg(slot));
        EXPECT_EQ(cell(slot, CountersWindow::kBackupColumn), "saved");
        const auto* line = qobject_cast<ui::Sparkline*>(counters().table()->cellWidget(
            counters().rowOfSlot(slot), CountersWindow::kSparklineColumn));
        EXPECT_EQ(line->counts(), window_->slot(slot).data->counts());
    }
    EXPECT_EQ(cell(1, CountersWindow::kAssayColumn), "one");
    EXPECT_EQ(cell(1, CountersWindow::kEndTimeColumn).toStdString(),
              formatLocalTime(window_->slot(1).data->endTime()));
    // The main window shows counter 1 alone.
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE COUNTER: 1");
    EXPECT_EQ(static_cast<std::size_t>(chartRows()), window_->slot(1).pointCount());

    // A picture of the window during two runs, kept with the build for the documentation.
    const QImage image = counters().grab().toImage();
    ASSERT_FALSE(image.isNull());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(image.save(QString::fromStdString(folder + "/counters_window.png")));

    // Counter 1 ends by time, counter 2 (still held) by Stop: each row says how and when, and
    // each end is told on the desktop.
    // Counter 1's backups fail from here on; counter 2's end is saved again.
    std::filesystem::rename(dir_.file("backup_data"), dir_.file("moved"));
    counters_.release(1);
    ASSERT_TRUE(pumpUntilStopped(1));
    std::filesystem::rename(dir_.file("moved"), dir_.file("backup_data"));
    choose(res::Command::Counter2);
    prompts_.reply(ui::Answer::Yes);
    choose(res::Command::RunStop);
    counters_.release(2);
    ASSERT_TRUE(pumpUntilStopped(2));
    ASSERT_TRUE(pumpUntil([&] { return notifier_.messages.size() == 2; }));
    const AssayData& one = *window_->slot(1).data;
    const AssayData& two = *window_->slot(2).data;
    EXPECT_EQ(
        notifier_.messages,
        (QStringList{
            QString("Nivra-USB | Counter 1: run finished, 30 points, %1 counts").arg(total(one)),
            QString("Nivra-USB | Counter 2: run stopped, %1 points, %2 counts")
                .arg(two.pointCount())
                .arg(total(two))}));
    EXPECT_EQ(cell(1, CountersWindow::kStateColumn), "STOPPED");
    EXPECT_EQ(cell(1, CountersWindow::kTimeLeftColumn), "finished");
    EXPECT_EQ(cell(1, CountersWindow::kPointsColumn), "30 of 30");
    EXPECT_EQ(cell(1, CountersWindow::kEndTimeColumn).toStdString(),
              one.headerLines().back().substr(std::string("End Time: ").size()));
    EXPECT_EQ(cell(2, CountersWindow::kTimeLeftColumn), "stopped");
    const QTableWidgetItem* backup =
        counters().table()->item(counters().rowOfSlot(1), CountersWindow::kBackupColumn);
    EXPECT_EQ(backup->text(), "FAILED");
    EXPECT_EQ(backup->toolTip(), "No such file or directory");
    EXPECT_EQ(cell(2, CountersWindow::kBackupColumn), "saved");

    // File New, chosen in the menu, clears counter 1 for the next run: its row forgets the last
    // run.
    choose(res::Command::Counter1);
    prompts_.reply(ui::Answer::No);
    window_->menu()->action(res::Command::FileNew)->trigger();
    ASSERT_TRUE(pumpUntil([&] { return cell(1, CountersWindow::kStateColumn) == "NEW"; }));
    EXPECT_EQ(cell(1, CountersWindow::kTimeLeftColumn), "-");
    EXPECT_EQ(cell(1, CountersWindow::kLastSecondColumn), "-");
}

TEST_F(CountersWindowTest, OpenedDuringARunItShowsEveryRowAndColumnAlsoWhenOneWidens) {
    // Every row, and every column or, on a screen too narrow for them, the screen's width with
    // the rest a scroll away.
    const auto showsAll = [this] {
        const QTableWidget* table = counters().table();
        const int screenWidth = counters().screen()->availableGeometry().width();
        return table->verticalScrollBar()->maximum() == 0 &&
               (table->horizontalScrollBar()->maximum() == 0 || counters().width() == screenWidth);
    };
    open(3);
    counters_.setRate(1, 2);
    counters_.holdAt(1, 25);
    startRun(1, writeAssay("one", 10, 300));
    ASSERT_TRUE(counters_.waitUntilHeld(1));
    choose(res::Command::CountersWindow);
    pumpFor(std::chrono::milliseconds(200));
    ASSERT_EQ(counters().table()->rowCount(), 4);
    EXPECT_TRUE(showsAll());

    // A remembered place too small for the rows grows at the next start.
    counters().resize(200, 60);
    counters_.releaseAll();
    window_.reset();
    open(3);
    ASSERT_TRUE(counters().isVisible());
    pumpFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(showsAll());

    // An assay name wider than its column widens the column, and the window with it.
    const int columns = counters().table()->horizontalHeader()->length();
    counters_.setRate(2, 1);
    counters_.holdAt(2, 5);
    startRun(2, writeAssay("an assay whose name is far wider than the column", 10, 300));
    ASSERT_TRUE(counters_.waitUntilHeld(2));
    pumpFor(std::chrono::milliseconds(200));
    EXPECT_GT(counters().table()->horizontalHeader()->length(), columns);
    EXPECT_TRUE(showsAll());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(counters().grab().save(QString::fromStdString(folder + "/counters_widened.png")));
}

TEST_F(CountersWindowTest, ADoubleClickChoosesTheRowsActiveCounterItem) {
    open(2);
    choose(res::Command::CountersWindow);
    doubleClick(2);
    EXPECT_EQ(window_->activeSlot(), 2);
    EXPECT_TRUE(checked(res::Command::Counter2));
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE COUNTER: 2");
    EXPECT_TRUE(counters().table()->item(counters().rowOfSlot(2), 0)->font().bold());
    doubleClick(0);
    EXPECT_EQ(window_->activeSlot(), 0);
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE: VIEWER");
    EXPECT_FALSE(counters().table()->item(counters().rowOfSlot(2), 0)->font().bold());
    // Counters the menu does not offer have no row.
    EXPECT_EQ(counters().rowOfSlot(3), -1);
    EXPECT_TRUE(prompts_.questions().empty());
}

TEST_F(CountersWindowTest, OpenAndPlaceAreRememberedAcrossStarts) {
    open();
    EXPECT_FALSE(counters().isVisible());
    choose(res::Command::CountersWindow);
    // Larger than its rows and columns need: the operator's size stays.
    counters().setGeometry(40, 60, counters().width() + 50, counters().height() + 30);
    const QRect placed = counters().geometry();

    // The program ends with the window open: it opens at the next start, where it was.
    window_.reset();
    open();
    ASSERT_TRUE(counters().isVisible());
    EXPECT_EQ(counters().geometry(), placed);
    EXPECT_TRUE(checked(res::Command::CountersWindow));

    // Closed by the operator, it stays closed.
    counters().close();
    EXPECT_FALSE(checked(res::Command::CountersWindow));
    window_.reset();
    open();
    EXPECT_FALSE(counters().isVisible());
}

} // namespace
