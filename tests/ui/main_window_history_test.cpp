// The run history from the window: runs started in the window are recorded with their points,
// saves and deletions; a history that cannot be written is said once and the run goes on; the
// History window lists the runs, follows a run's points, opens a run in the viewer, changes its
// kind and shows the control chart.

#include "main_window_fixture.h"
#include "pdf_pages.h"
#include "storage/history_database.h"
#include "ui/dialogs/history_dlg.h"
#include "ui/plots/control_chart_plot.h"

#include <QPrinter>
#include <filesystem>
#include <numeric>

using nivra::ui::kViewerSlot;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

std::int64_t sum(const std::vector<std::int32_t>& counts) {
    return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

class HistoryTest : public MainWindowTest {
protected:
    std::string historyPath() const { return dir_.file("history.sqlite"); }

    HistoryRunDetail loadRun(std::int64_t id) {
        HistoryDatabase db;
        HistoryRunDetail detail;
        bool found = false;
        EXPECT_TRUE(db.open(historyPath(), HistoryDatabase::Access::Existing));
        EXPECT_TRUE(db.loadRun(id, detail, found));
        EXPECT_TRUE(found);
        return detail;
    }

    // Dwell 10 s, total 30 s: three points.
    std::string backgroundAssay() {
        const std::string path = writeAssay("bkg", 10, 30);
        AssayConfig assay(path);
        assay.qaKind = RunKind::Background;
        EXPECT_TRUE(assay.write(path).ok());
        return path;
    }
};

TEST_F(HistoryTest, AWindowRunIsRecordedWithItsPointsSaveAndDeletion) {
    open();
    counters_.setRate(1, 1, 1);
    startRun(1, backgroundAssay());
    ASSERT_TRUE(pumpUntilStopped(1));
    ASSERT_TRUE(pumpUntilNoRuns());

    HistoryRunDetail detail = loadRun(1);
    EXPECT_EQ(detail.run.counter, 1);
    EXPECT_EQ(detail.run.kind, RunKind::Background);
    EXPECT_EQ(detail.run.endReason, RunEnd::Time);
    ASSERT_EQ(detail.points.size(), 3u);
    EXPECT_EQ(detail.run.totalCounts, sum(window_->slot(1).data->counts()));
    EXPECT_EQ(detail.points[1].count, window_->slot(1).data->counts()[1]);

    // A point deleted in the window is marked deleted; the save names the file.
    window_->ui().deletePointEdit->setText("2");
    window_->ui().deletePoint->click();
    const std::string saved = dir_.file("bkg_run.dax");
    prompts_.chooseFile(QString::fromStdString(saved));
    choose(res::Command::FileSave);
    detail = loadRun(1);
    EXPECT_TRUE(detail.points[1].deleted);
    EXPECT_FALSE(detail.points[0].deleted);
    EXPECT_EQ(detail.run.points, 2);
    EXPECT_EQ(detail.run.totalCounts, sum(window_->slot(1).data->counts()));
    ASSERT_TRUE(detail.run.dataFile);
    EXPECT_EQ(std::filesystem::path(*detail.run.dataFile).filename(), "bkg_run.dax");
    EXPECT_FALSE(prompts_.messageTexts().join("|").contains("Run history"));
}

TEST_F(HistoryTest, AnUnwritableHistoryIsSaidOnceAndTheRunGoesOn) {
    std::filesystem::create_directory(historyPath()); // a folder where the file should be
    open();
    counters_.setRate(1, 1, 1);
    startRun(1, backgroundAssay());
    ASSERT_TRUE(pumpUntilStopped(1));
    ASSERT_TRUE(pumpUntilNoRuns());
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window_->slot(1).pointCount(), 3u);
    const QStringList history = prompts_.messageTexts().filter("Run history not written: ");
    EXPECT_EQ(history.size(), 1) << prompts_.messageTexts().join("|").toStdString();
}

TEST_F(HistoryTest, TheHistoryWindowFollowsRunsOpensThemAndChangesTheirKind) {
    open();
    choose(res::Command::History);
    ui::HistoryDlg* history = window_->historyDialog();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->runIds().empty());

    // The window follows the run while it goes on: the first point is listed before the end.
    counters_.setRate(1, 1, 1);
    clock_.pauseAt(clock_.startSeconds() + 15);
    startRun(1, backgroundAssay());
    ASSERT_TRUE(clock_.waitUntilPaused());
    ASSERT_TRUE(pumpUntil([&] { return history->rowText(1).contains(" | running | 1 | "); }))
        << history->rowText(1).toStdString();
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    const QString total = QString::number(sum(window_->slot(1).data->counts()));
    ASSERT_TRUE(pumpUntil([&] { return history->rowText(1).contains(" | time | 3 | " + total); }))
        << history->rowText(1).toStdString();
    EXPECT_TRUE(history->rowText(1).startsWith("1 | 1 | background | "));

    // Filters: another kind or counter hides it.
    history->setFilter(0, RunKind::Sample, {}, {});
    EXPECT_TRUE(history->runIds().empty());
    history->setFilter(2, std::nullopt, {}, {});
    EXPECT_TRUE(history->runIds().empty());
    history->setFilter(1, RunKind::Background, "2000-01-01", {});
    EXPECT_EQ(history->runIds(), std::vector<std::int64_t>{1});
    history->setFilter(0, std::nullopt, {}, "2000-01-01");
    EXPECT_TRUE(history->runIds().empty());
    history->setFilter(0, std::nullopt, {}, {});

    // The control chart of the counter's background runs, as nivra-cli qa prints it.
    history->showChart(1, RunKind::Background);
    EXPECT_TRUE(history->chartText().contains("from 1 reference runs; 1 runs, 0 flagged"))
        << history->chartText().toStdString();
    ASSERT_TRUE(history->chartPlot().chart());
    EXPECT_EQ(history->chartPlot().chart()->points.size(), 1u);
    history->resize(1000, 560);
    const QImage chartPicture = ui::windowPicture(*history);
    const std::string pictures = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(pictures);
    EXPECT_TRUE(chartPicture.save(QString::fromStdString(pictures + "/history_chart.png")));

    // Opened in the viewer: the record the window held, through File Open's question.
    history->selectRun(1);
    history->openSelected();
    EXPECT_EQ(window_->activeSlot(), kViewerSlot);
    EXPECT_EQ(text(&Ui::fileLabel), "History run 1");
    ASSERT_TRUE(window_->slot(kViewerSlot).data);
    EXPECT_EQ(window_->slot(kViewerSlot).data->counts(), window_->slot(1).data->counts());
    EXPECT_EQ(window_->slot(kViewerSlot).data->headerLines(), window_->slot(1).data->headerLines());

    // Use as background: the run's counts over its counted hours (3 points of 10 s) become the
    // background of the assay configuration the operator picks, in the file's six decimals; its
    // other keys stay.
    const std::string target = writeAssay("target", 10, 30);
    prompts_.chooseFile(QString::fromStdString(target));
    history->selectRuns({1});
    history->useSelectedAsBackground();
    const AssayConfig pooled(target);
    EXPECT_NEAR(pooled.backgroundRate, std::stod(total.toStdString()) / (30.0 / 3600.0), 5e-7);
    EXPECT_NEAR(pooled.backgroundHours, 30.0 / 3600.0, 5e-7);
    EXPECT_EQ(pooled.name, "target");
    EXPECT_TRUE(
        prompts_.messageTexts().last().endsWith("written to " + QString::fromStdString(target)));

    // A new kind is written to the history and shown; the chart loses the run.
    history->selectRun(1);
    history->setSelectedKind(RunKind::Source);
    EXPECT_TRUE(history->rowText(1).startsWith("1 | 1 | source | "));
    EXPECT_EQ(loadRun(1).run.kind, RunKind::Source);
    EXPECT_TRUE(history->problem().isEmpty());
    EXPECT_TRUE(history->chartText().startsWith("no reference runs"));
    history->useSelectedAsBackground(); // no background run is selected now: nothing is asked
    EXPECT_EQ(prompts_.messageTexts().last(), "Select the background runs to pool first.");

    // Print: the window on one landscape page.
    prompts_.confirmPrint();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_.file("history.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(history->print(printer), ui::PrintOutcome::Printed);
    EXPECT_TRUE(isLandscape(readPdfPages(pdf)));

    // A picture of the window for the guide.
    history->setFilter(0, std::nullopt, {}, {});
    history->selectRun(1);
    history->resize(1000, 360);
    const QImage picture = ui::windowPicture(*history);
    ASSERT_FALSE(picture.isNull());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(picture.save(QString::fromStdString(folder + "/history_window.png")));
}

TEST_F(HistoryTest, WithoutAHistoryOrWithUnsavedViewerDataNothingIsReplaced) {
    open();
    choose(res::Command::History);
    ui::HistoryDlg* history = window_->historyDialog();
    // No history file yet: the window says why it lists nothing and creates no file.
    EXPECT_TRUE(history->runIds().empty());
    EXPECT_TRUE(history->problem().contains("does not exist")) << history->problem().toStdString();
    EXPECT_FALSE(std::filesystem::exists(historyPath()));

    counters_.setRate(1, 1, 1);
    startRun(1, backgroundAssay());
    ASSERT_TRUE(pumpUntilStopped(1));
    ASSERT_TRUE(pumpUntil([&] { return history->runIds().size() == 1; }));
    EXPECT_TRUE(history->problem().isEmpty());

    // An edited viewer record stays: the question of File Open, and no record from the history.
    openInViewer(writeDataFile("kept", {5, 6, 7}));
    window_->ui().deletePointEdit->setText("1");
    window_->ui().deletePoint->click();
    prompts_.reply(ui::Answer::Cancel);
    history->selectRun(1);
    history->openSelected();
    EXPECT_EQ(window_->slot(kViewerSlot).data->counts(), (std::vector<std::int32_t>{6, 7}));
    EXPECT_TRUE(prompts_.messageTexts().contains("Viewer data not saved, would you like to save?"));
}

} // namespace
