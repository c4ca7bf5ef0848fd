// The run history from the window: runs started in the window are recorded with their points,
// saves and deletions; a history that cannot be written is said once and the run goes on; the
// History window lists the runs, follows a run's points, opens a run in the viewer, changes its
// kind and shows the control chart.

#include "main_window_fixture.h"
#include "pdf_pages.h"
#include "storage/history_database.h"
#include "ui/dialogs/history_dlg.h"

#include <QPrinter>
#include <filesystem>
#include <numeric>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

std::int64_t Sum(const std::vector<std::int32_t>& counts) {
    return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

class HistoryTest : public MainWindowTest {
protected:
    std::string HistoryPath() const { return dir_.file("history.sqlite"); }

    HistoryRunDetail LoadRun(std::int64_t id) {
        HistoryDatabase db;
        HistoryRunDetail detail;
        bool found = false;
        EXPECT_TRUE(db.open(HistoryPath(), HistoryDatabase::Access::Existing));
        EXPECT_TRUE(db.loadRun(id, detail, found));
        EXPECT_TRUE(found);
        return detail;
    }

    // Dwell 10 s, total 30 s: three points.
    std::string BackgroundAssay() {
        const std::string path = WriteAssay("bkg", 10, 30);
        AssayConfig assay(path);
        assay.qaKind = RunKind::Background;
        EXPECT_TRUE(assay.write(path).ok());
        return path;
    }
};

TEST_F(HistoryTest, AWindowRunIsRecordedWithItsPointsSaveAndDeletion) {
    Open();
    counters_.SetRate(1, 1, 1);
    StartRun(1, BackgroundAssay());
    ASSERT_TRUE(PumpUntilStopped(1));
    ASSERT_TRUE(PumpUntilNoRuns());

    HistoryRunDetail detail = LoadRun(1);
    EXPECT_EQ(detail.run.counter, 1);
    EXPECT_EQ(detail.run.kind, RunKind::Background);
    EXPECT_EQ(detail.run.endReason, RunEnd::Time);
    ASSERT_EQ(detail.points.size(), 3u);
    EXPECT_EQ(detail.run.totalCounts, Sum(window_->Slot(1).data->counts()));
    EXPECT_EQ(detail.points[1].count, window_->Slot(1).data->counts()[1]);

    // A point deleted in the window is marked deleted; the save names the file.
    window_->SetItemText(ids::kDeletePointEdit, "2");
    window_->DispatchCommand(ids::kDeletePointButton);
    const std::string saved = dir_.file("bkg_run.dax");
    prompts_.ChooseFile(QString::fromStdString(saved));
    Choose(res::kCmdFileSave);
    detail = LoadRun(1);
    EXPECT_TRUE(detail.points[1].deleted);
    EXPECT_FALSE(detail.points[0].deleted);
    EXPECT_EQ(detail.run.points, 2);
    EXPECT_EQ(detail.run.totalCounts, Sum(window_->Slot(1).data->counts()));
    ASSERT_TRUE(detail.run.dataFile);
    EXPECT_EQ(std::filesystem::path(*detail.run.dataFile).filename(), "bkg_run.dax");
    EXPECT_FALSE(prompts_.MessageTexts().join("|").contains("Run history"));
}

TEST_F(HistoryTest, AnUnwritableHistoryIsSaidOnceAndTheRunGoesOn) {
    std::filesystem::create_directory(HistoryPath()); // a folder where the file should be
    Open();
    counters_.SetRate(1, 1, 1);
    StartRun(1, BackgroundAssay());
    ASSERT_TRUE(PumpUntilStopped(1));
    ASSERT_TRUE(PumpUntilNoRuns());
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window_->Slot(1).PointCount(), 3u);
    const QStringList history = prompts_.MessageTexts().filter("Run history not written: ");
    EXPECT_EQ(history.size(), 1) << prompts_.MessageTexts().join("|").toStdString();
}

TEST_F(HistoryTest, TheHistoryWindowFollowsRunsOpensThemAndChangesTheirKind) {
    Open();
    Choose(res::kCmdHistory);
    ui::HistoryDlg* history = window_->HistoryDialog();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->RunIds().empty());

    // The window follows the run while it goes on: the first point is listed before the end.
    counters_.SetRate(1, 1, 1);
    clock_.PauseAt(clock_.StartSeconds() + 15);
    StartRun(1, BackgroundAssay());
    ASSERT_TRUE(clock_.WaitUntilPaused());
    ASSERT_TRUE(PumpUntil([&] { return history->RowText(1).contains(" | running | 1 | "); }))
        << history->RowText(1).toStdString();
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    const QString total = QString::number(Sum(window_->Slot(1).data->counts()));
    ASSERT_TRUE(PumpUntil([&] { return history->RowText(1).contains(" | time | 3 | " + total); }))
        << history->RowText(1).toStdString();
    EXPECT_TRUE(history->RowText(1).startsWith("1 | 1 | background | "));

    // Filters: another kind or counter hides it.
    history->SetFilter(0, RunKind::Sample, {}, {});
    EXPECT_TRUE(history->RunIds().empty());
    history->SetFilter(2, std::nullopt, {}, {});
    EXPECT_TRUE(history->RunIds().empty());
    history->SetFilter(1, RunKind::Background, "2000-01-01", {});
    EXPECT_EQ(history->RunIds(), std::vector<std::int64_t>{1});
    history->SetFilter(0, std::nullopt, {}, "2000-01-01");
    EXPECT_TRUE(history->RunIds().empty());
    history->SetFilter(0, std::nullopt, {}, {});

    // The control chart of the counter's background runs, as nivra-cli qa prints it.
    history->ShowChart(1, RunKind::Background);
    EXPECT_TRUE(history->ChartText().contains("from 1 reference runs; 1 runs, 0 flagged"))
        << history->ChartText().toStdString();

    // Opened in the viewer: the record the window held, through File Open's question.
    history->SelectRun(1);
    history->OpenSelected();
    EXPECT_EQ(window_->ActiveSlot(), kViewerSlot);
    EXPECT_EQ(Text(ids::kFileLabel), "History run 1");
    ASSERT_TRUE(window_->Slot(kViewerSlot).data);
    EXPECT_EQ(window_->Slot(kViewerSlot).data->counts(), window_->Slot(1).data->counts());
    EXPECT_EQ(window_->Slot(kViewerSlot).data->headerLines(), window_->Slot(1).data->headerLines());

    // A new kind is written to the history and shown; the chart loses the run.
    history->SelectRun(1);
    history->SetSelectedKind(RunKind::Source);
    EXPECT_TRUE(history->RowText(1).startsWith("1 | 1 | source | "));
    EXPECT_EQ(LoadRun(1).run.kind, RunKind::Source);
    EXPECT_TRUE(history->Problem().isEmpty());
    EXPECT_TRUE(history->ChartText().startsWith("no reference runs"));

    // Print: the window on one landscape page.
    prompts_.ConfirmPrint();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_.file("history.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(history->Print(printer), ui::PrintOutcome::Printed);
    EXPECT_TRUE(IsLandscape(ReadPdfPages(pdf)));

    // A picture of the window for the guide.
    history->SetFilter(0, std::nullopt, {}, {});
    history->SelectRun(1);
    history->resize(1000, 360);
    const QImage picture = ui::WindowPicture(*history);
    ASSERT_FALSE(picture.isNull());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(picture.save(QString::fromStdString(folder + "/history_window.png")));
}

TEST_F(HistoryTest, WithoutAHistoryOrWithUnsavedViewerDataNothingIsReplaced) {
    Open();
    Choose(res::kCmdHistory);
    ui::HistoryDlg* history = window_->HistoryDialog();
    // No history file yet: the window says why it lists nothing and creates no file.
    EXPECT_TRUE(history->RunIds().empty());
    EXPECT_TRUE(history->Problem().contains("does not exist")) << history->Problem().toStdString();
    EXPECT_FALSE(std::filesystem::exists(HistoryPath()));

    counters_.SetRate(1, 1, 1);
    StartRun(1, BackgroundAssay());
    ASSERT_TRUE(PumpUntilStopped(1));
    ASSERT_TRUE(PumpUntil([&] { return history->RunIds().size() == 1; }));
    EXPECT_TRUE(history->Problem().isEmpty());

    // An edited viewer record stays: the question of File Open, and no record from the history.
    OpenInViewer(WriteDataFile("kept", {5, 6, 7}));
    window_->SetItemText(ids::kDeletePointEdit, "1");
    window_->DispatchCommand(ids::kDeletePointButton);
    history->SelectRun(1);
    history->OpenSelected();
    EXPECT_EQ(window_->Slot(kViewerSlot).data->counts(), (std::vector<std::int32_t>{6, 7}));
    EXPECT_TRUE(prompts_.MessageTexts().contains("Viewer data not saved, save first"));
}

} // namespace
