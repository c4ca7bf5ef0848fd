// The statistics panel of the main window (All Data, ROI and their rows) and the two dump lists.

#include "engine/assay_run.h"
#include "main_window_fixture.h"
#include "model/statistics.h"
#include "ui/resources/resource_ids.h"

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class StatisticsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        ShowAllStatistics();
    }

    void SetRoi(int low, int high) {
        window_->SetItemText(ids::kRoiMinEdit, QString::number(low));
        window_->SetItemText(ids::kRoiMaxEdit, QString::number(high));
        window_->DispatchCommand(ids::kSetRoiButton);
    }

    // Label and value rows side by side, "label=value".
    QStringList StatisticsRows() const {
        const QStringList labels = Items(ids::kStatsLabelList);
        const QStringList values = Items(ids::kStatsValueList);
        EXPECT_EQ(labels.size(), values.size());
        QStringList rows;
        for (int i = 0; i < std::min(labels.size(), values.size()); ++i)
            rows << labels[i] + "=" + values[i];
        return rows;
    }

    // The rows the panel should show for a record.
    QStringList ExpectedRows(const AssayData& data) const {
        QStringList rows;
        for (const StatisticRow& row : StatisticsBlock(data, window_->StatsSelection()))
            rows << QString::fromUtf8(row.listLabel) + "=" + QString::fromStdString(row.value);
        return rows;
    }

    QString Row(const QString& label) const {
        for (const QString& row : StatisticsRows())
            if (row.startsWith(label + "="))
                return row.mid(label.size() + 1);
        return "<missing>";
    }
};

TEST_F(StatisticsTest, AllDataAndRoiDescribeTheirPointsAndRoiAddsItsBounds) {
    OpenInViewer(WriteDataFile("ten", {5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    window_->DispatchCommand(ids::kAllDataButton);
    const AssayData& data = *window_->Slot(kViewerSlot).data;
    EXPECT_EQ(StatisticsRows(), ExpectedRows(*data.extractRange(1, 10)));
    ASSERT_EQ(StatisticsRows().size(), 16);
    EXPECT_EQ(Row("Num Points:"), "10");
    EXPECT_EQ(Row("Time(hrs):"), "0.1667"); // ten one-minute dwells
    EXPECT_EQ(Items(ids::kStatsLabelList)[7], QString::fromUtf8("\xC2\xB1 err:"));

    SetRoi(3, 5);
    window_->DispatchCommand(ids::kRoiStatsButton);
    QStringList expected = ExpectedRows(*data.extractRange(3, 5));
    expected << "ROI min=3"
             << "ROI max=5";
    EXPECT_EQ(StatisticsRows(), expected);
    EXPECT_EQ(Row("Num Points:"), "3");
    EXPECT_EQ(Row("Total Counts:"), "24");
    EXPECT_EQ(Row("Time(hrs):"), "0.0500");

    // An empty region keeps the rows there are and adds its bounds below them.
    Slider()->SetSelection(6, 4);
    window_->DispatchCommand(ids::kRoiStatsButton);
    expected << "ROI min=6"
             << "ROI max=4";
    EXPECT_EQ(StatisticsRows(), expected);
}

TEST_F(StatisticsTest, TheSelectionAndTheBackgroundDecideWhichRowsAreShown) {
    OpenInViewer(WriteDataFile("nobackground", {10, 12, 8, 10}, {}, 0.0));
    window_->DispatchCommand(ids::kAllDataButton);
    EXPECT_EQ(
        Items(ids::kStatsLabelList),
        (QStringList{"Num Points:", "Total Counts:", "Time(hrs):", "Mean: ", "Std dev:", "CPH:"}));

    // Without any statistic selected All Data empties both lists and ROI shows its bounds only.
    for (int k = 0; k < res::kStatisticCount; ++k)
        Choose(res::kCmdFirstStatistic + k);
    window_->DispatchCommand(ids::kAllDataButton);
    EXPECT_TRUE(StatisticsRows().empty());
    window_->DispatchCommand(ids::kRoiStatsButton);
    EXPECT_EQ(StatisticsRows(), (QStringList{"ROI min=1", "ROI max=4"}));
}

TEST_F(StatisticsTest, DumpsListTheRecordAndTheRegionWithTheRecordsPointNumbers) {
    OpenInViewer(WriteDataFile("six", {5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Items(ids::kDataDumpList), (QStringList{"1:5", "2:6", "3:7", "4:8", "5:9", "6:10"}));
    SetRoi(4, 6);
    window_->DispatchCommand(ids::kRoiDumpButton);
    EXPECT_EQ(Items(ids::kRoiDumpList), (QStringList{"4:8", "5:9", "6:10"}));

    // A counter slot without a record: Data Dump empties its list, ROI Dump leaves its own.
    Choose(res::kCmdCounter1);
    window_->ControlAs<QListWidget>(ids::kDataDumpList)->addItem("stale");
    window_->ControlAs<QListWidget>(ids::kRoiDumpList)->addItem("kept");
    window_->DispatchCommand(ids::kDataDumpButton);
    window_->DispatchCommand(ids::kRoiDumpButton);
    EXPECT_TRUE(Items(ids::kDataDumpList).empty());
    EXPECT_EQ(Items(ids::kRoiDumpList), QStringList{"kept"});
}

// A run stopped early: All Data counts the time of its points, the CSV of the same record the
// configured total time.
TEST_F(StatisticsTest, AllDataAfterAnEarlyStopCountsThePointsTimeTheCsvTheConfiguredTime) {
    counters_.SetRate(1, 3);
    clock_.PauseAt(clock_.StartSeconds() + 25);
    StartRun(1, WriteAssay("early", 10, 3600));
    ASSERT_TRUE(clock_.WaitUntilPaused());
    prompts_.Clear();
    prompts_.Reply(ui::Answer::Yes);
    Choose(res::kCmdRunStop);
    ASSERT_TRUE(window_->Slot(1).run && window_->Slot(1).run->stopRequested());
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    const std::size_t points = window_->Slot(1).PointCount();
    ASSERT_GE(points, 1u);

    window_->DispatchCommand(ids::kAllDataButton);
    const double pointHours = static_cast<double>(points) * 10.0 / 3600.0;
    EXPECT_EQ(Row("Time(hrs):"), QString::asprintf("%.4f", pointHours));

    const std::string csv = dir_.file("early.csv");
    prompts_.ChooseFile(QString::fromStdString(csv));
    Choose(res::kCmdSaveCsv);
    EXPECT_NE(ReadFileBytes(csv).find("Time(hrs): 1.0000\n"), std::string::npos);
}

} // namespace
