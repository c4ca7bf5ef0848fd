// The statistics panel of the main window (All Data, ROI and their rows) and the two dump lists.

#include "engine/assay_run.h"
#include "main_window_fixture.h"
#include "model/statistics.h"
#include "ui/resources/resource_ids.h"

using nivra::ui::kViewerSlot;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class StatisticsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        open();
        showAllStatistics();
    }

    void setRoi(int low, int high) {
        window_->ui().roiMin->setText(QString::number(low));
        window_->ui().roiMax->setText(QString::number(high));
        window_->ui().setRoi->click();
    }

    // Label and value rows side by side, "label=value".
    QStringList statisticsRows() const {
        const QStringList labels = items(&Ui::statsLabels);
        const QStringList values = items(&Ui::statsValues);
        EXPECT_EQ(labels.size(), values.size());
        QStringList rows;
        for (int i = 0; i < std::min(labels.size(), values.size()); ++i)
            rows << labels[i] + "=" + values[i];
        return rows;
    }

    // The rows the panel should show for a record.
    QStringList expectedRows(const AssayData& data) const {
        QStringList rows;
        for (const StatisticRow& row : statisticsBlock(data, window_->statsSelection()))
            rows << QString::fromUtf8(row.listLabel) + "=" + QString::fromStdString(row.value);
        return rows;
    }

    QString row(const QString& label) const {
        for (const QString& row : statisticsRows())
            if (row.startsWith(label + "="))
                return row.mid(label.size() + 1);
        return "<missing>";
    }
};

TEST_F(StatisticsTest, AllDataAndRoiDescribeTheirPointsAndRoiAddsItsBounds) {
    openInViewer(writeDataFile("ten", {5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    window_->ui().allData->click();
    const AssayData& data = *window_->slot(kViewerSlot).data;
    EXPECT_EQ(statisticsRows(), expectedRows(*data.extractRange(1, 10)));
    ASSERT_EQ(statisticsRows().size(), 16);
    EXPECT_EQ(row("Num Points:"), "10");
    EXPECT_EQ(row("Time(hrs):"), "0.1667"); // ten one-minute dwells
    EXPECT_EQ(items(&Ui::statsLabels)[7], QString::fromUtf8("\xC2\xB1 err:"));

    setRoi(3, 5);
    window_->ui().roiStats->click();
    QStringList expected = expectedRows(*data.extractRange(3, 5));
    expected << "ROI min=3"
             << "ROI max=5";
    EXPECT_EQ(statisticsRows(), expected);
    EXPECT_EQ(row("Num Points:"), "3");
    EXPECT_EQ(row("Total Counts:"), "24");
    EXPECT_EQ(row("Time(hrs):"), "0.0500");

    // An empty region keeps the rows there are and adds its bounds below them.
    slider()->setSelection(6, 4);
    window_->ui().roiStats->click();
    expected << "ROI min=6"
             << "ROI max=4";
    EXPECT_EQ(statisticsRows(), expected);
}

TEST_F(StatisticsTest, TheSelectionAndTheBackgroundDecideWhichRowsAreShown) {
    openInViewer(writeDataFile("nobackground", {10, 12, 8, 10}, {}, 0.0));
    window_->ui().allData->click();
    EXPECT_EQ(
        items(&Ui::statsLabels),
        (QStringList{"Num Points:", "Total Counts:", "Time(hrs):", "Mean: ", "Std dev:", "CPH:"}));

    // Without any statistic selected All Data empties both lists and ROI shows its bounds only.
    for (int k = 0; k < static_cast<int>(nivra::kStatisticCount); ++k)
        choose(nivra::statisticAt(k));
    window_->ui().allData->click();
    EXPECT_TRUE(statisticsRows().empty());
    window_->ui().roiStats->click();
    EXPECT_EQ(statisticsRows(), (QStringList{"ROI min=1", "ROI max=4"}));
}

TEST_F(StatisticsTest, DumpsListTheRecordAndTheRegionWithTheRecordsPointNumbers) {
    openInViewer(writeDataFile("six", {5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(items(&Ui::dataDump), (QStringList{"1:5", "2:6", "3:7", "4:8", "5:9", "6:10"}));
    setRoi(4, 6);
    window_->ui().roiDumpButton->click();
    EXPECT_EQ(items(&Ui::roiDump), (QStringList{"4:8", "5:9", "6:10"}));

    // A counter slot without a record: Data Dump empties its list, ROI Dump leaves its own.
    choose(res::Command::Counter1);
    window_->ui().dataDump->addItem("stale");
    window_->ui().roiDump->addItem("kept");
    window_->ui().dataDumpButton->click();
    window_->ui().roiDumpButton->click();
    EXPECT_TRUE(items(&Ui::dataDump).empty());
    EXPECT_EQ(items(&Ui::roiDump), QStringList{"kept"});
}

// A run stopped early: All Data and the CSV of the same record both count the time of its
// points, not the configured total time.
TEST_F(StatisticsTest, AfterAnEarlyStopAllDataAndTheCsvCountThePointsTime) {
    counters_.setRate(1, 3);
    clock_.pauseAt(clock_.startSeconds() + 25);
    startRun(1, writeAssay("early", 10, 3600));
    ASSERT_TRUE(clock_.waitUntilPaused());
    prompts_.clear();
    prompts_.reply(ui::Answer::Yes);
    choose(res::Command::RunStop);
    ASSERT_TRUE(window_->slot(1).run && window_->slot(1).run->stopRequested());
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    const std::size_t points = window_->slot(1).pointCount();
    ASSERT_GE(points, 1u);

    window_->ui().allData->click();
    const double pointHours = static_cast<double>(points) * 10.0 / 3600.0;
    EXPECT_EQ(row("Time(hrs):"), QString::asprintf("%.4f", pointHours));

    const std::string csv = dir_.file("early.csv");
    prompts_.chooseFile(QString::fromStdString(csv));
    choose(res::Command::SaveCsv);
    EXPECT_NE(
        readFileBytes(csv).find(
            "Time(hrs): " + std::string(QString::asprintf("%.4f", pointHours).toLatin1()) + "\n"),
        std::string::npos);
}

} // namespace
