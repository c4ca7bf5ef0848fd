// The Assessment dialog in the main window: the figures and pictures of the active slot's
// points or region, its refresh as the record changes and as a run closes points, and printing.

#include "main_window_fixture.h"
#include "model/assessment.h"
#include "pdf_pages.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/main_window/run_events.h"
#include "ui/plots/count_histogram_plot.h"
#include "ui/plots/points_plot.h"

#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPrinter>
#include <atomic>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;
using nivra::ui::AssessmentDlg;
using nivra::ui::AssessmentRange;

namespace {

// A smear counted 47 times, with a burst of noise in point 34.
const std::vector<std::int32_t> kSmear = {
    15, 21, 32, 22, 21, 14, 17, 26, 24, 28, 25, 26, 29, 19, 21, 19, 23, 22, 10, 31, 19, 21, 26, 14,
    30, 22, 22, 19, 27, 23, 24, 22, 22, 58, 24, 27, 28, 17, 22, 22, 26, 22, 25, 22, 30, 12, 21};

class AssessmentTest : public MainWindowTest {
protected:
    AssessmentDlg& OpenAssessment() {
        Choose(res::kCmdAssessment);
        AssessmentDlg* dialog = window_->AssessmentDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return *dialog;
    }

    static QStringList Lines(const Assessment& assessment) {
        QStringList lines;
        for (const std::string& line : assessmentLines(assessment))
            lines << QString::fromStdString(line);
        return lines;
    }

    static std::size_t HistogramPoints(const AssessmentDlg& dialog) {
        std::size_t points = 0;
        for (const CountBin& bin : dialog.Histogram().Bins())
            points += bin.points;
        return points;
    }

    static void SavePicture(AssessmentDlg& dialog, const std::string& name) {
        const QImage image = dialog.grab().toImage();
        ASSERT_FALSE(image.isNull());
        const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(image.save(QString::fromStdString(folder + "/" + name)));
    }
};

TEST_F(AssessmentTest, ShowsTheFiguresOfAllDataOrTheRoiAndFollowsTheActiveSlot) {
    Open();
    OpenInViewer(WriteDataFile("smear", kSmear));
    const AssayData& record = *window_->Slot(kViewerSlot).data;
    AssessmentDlg& dialog = OpenAssessment();

    EXPECT_EQ(dialog.Heading(), "Viewer, All Data: points 1 to 47");
    EXPECT_EQ(dialog.FigureLines(), Lines(assess(record)));
    EXPECT_EQ(dialog.FigureLines().last(), "Dispersion verdict: over-dispersed");
    EXPECT_EQ(dialog.Points().Counts(), kSmear);
    EXPECT_EQ(dialog.Points().FirstNumber(), 1);
    dialog.repaint();
    EXPECT_EQ(HistogramPoints(dialog), kSmear.size());
    SavePicture(dialog, "assessment.png");
    // Made as small as it goes, the dialog still shows every text whole.
    dialog.resize(dialog.minimumSizeHint());
    dialog.layout()->activate();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();

    // The region of the range slider, as the ROI statistics take it: points 3 to 47.
    window_->DispatchCommand(ids::kLowUpButton);
    window_->DispatchCommand(ids::kLowUpButton);
    dialog.SetRange(AssessmentRange::Roi);
    EXPECT_EQ(dialog.Heading(), "Viewer, ROI: points 3 to 47");
    EXPECT_EQ(dialog.FigureLines(), Lines(assess(record, 3, 47)));
    EXPECT_EQ(dialog.Points().FirstNumber(), 3);
    EXPECT_EQ(dialog.Points().Counts().size(), 45u);
    // The ROI view follows the region the window's step buttons make.
    window_->DispatchCommand(ids::kHighDownButton);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Points().Counts().size() == 44u; }));
    EXPECT_EQ(dialog.Heading(), "Viewer, ROI: points 3 to 46");

    // Deleting the burst resets the region to every point; the dialog follows once the window's
    // events are handled.
    window_->SetItemText(ids::kDeletePointEdit, QStringLiteral("34"));
    window_->DispatchCommand(ids::kDeletePointButton);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Points().Counts().size() == 46u; }));
    EXPECT_EQ(dialog.Heading(), "Viewer, ROI: points 1 to 46");
    EXPECT_EQ(dialog.FigureLines(), Lines(assess(record)));
    EXPECT_EQ(dialog.FigureLines().last(), "Dispersion verdict: pass");

    // A slot without a record shows no figures and empty pictures.
    Choose(res::kCmdCounter1);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Points().Counts().empty(); }));
    EXPECT_EQ(dialog.Heading(), "Counter 1, ROI: no points to assess");
    EXPECT_TRUE(dialog.FigureLines().isEmpty());
    dialog.repaint();
    EXPECT_TRUE(dialog.Histogram().Bins().empty());

    // Closed and chosen again: the same dialog, brought back up to date.
    dialog.close();
    Choose(res::kCmdViewer);
    EXPECT_EQ(&OpenAssessment(), &dialog);
    EXPECT_EQ(dialog.Heading(), "Viewer, ROI: points 1 to 46");
}

// Dwell 4 s, total 40 s: ten points in forty seconds.
TEST_F(AssessmentTest, FollowsARunOncePerClosedPointAlsoWithoutScreenUpdates) {
    Open();
    counters_.SetRate(1, 3);
    counters_.SetNoise(1, 5);
    std::atomic<int> seconds = 0, points = 0;
    QObject::connect(&window_->RunReports(), &ui::RunEvents::secondReported, [&] { ++seconds; });
    QObject::connect(&window_->RunReports(), &ui::RunEvents::pointReported, [&] { ++points; });
    const std::int64_t t0 = clock_.StartSeconds();
    clock_.PauseAt(t0 + 15);
    StartRun(1, WriteAssay("follow", 4, 40));
    AssessmentDlg& dialog = OpenAssessment();
    const AssayData& record = *window_->Slot(1).data;

    ASSERT_TRUE(clock_.WaitUntilPaused());
    ASSERT_TRUE(PumpUntil([&] { return dialog.Points().Counts() == record.counts(); }));
    ASSERT_EQ(record.pointCount(), 3u);
    EXPECT_EQ(dialog.Heading(), "Counter 1, All Data: points 1 to 3");
    EXPECT_EQ(dialog.FigureLines(), Lines(assess(record)));

    // With the window's view held, the dialog still takes every point.
    window_->DispatchCommand(ids::kScreenUpdatesButton);
    ASSERT_FALSE(window_->ScreenUpdates());
    const int refreshes = dialog.Refreshes();
    const int secondsBefore = seconds, pointsBefore = points;
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    ASSERT_TRUE(PumpUntilNoRuns());
    PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(record.pointCount(), 10u);
    EXPECT_EQ(dialog.Points().Counts(), record.counts());
    EXPECT_EQ(dialog.FigureLines(), Lines(assess(record)));
    // Seven points and the end of the run, never a refresh for a second that closed nothing.
    EXPECT_EQ(points - pointsBefore, 7);
    EXPECT_GE(seconds - secondsBefore, 24);
    EXPECT_GE(dialog.Refreshes() - refreshes, 1);
    EXPECT_LE(dialog.Refreshes() - refreshes, 7 + 2);
}

TEST_F(AssessmentTest, PrintsTheDialogOnOneLandscapePage) {
    Open();
    OpenInViewer(WriteDataFile("smear", kSmear));
    AssessmentDlg& dialog = OpenAssessment();
    prompts_.ConfirmPrint();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_.file("assessment.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(dialog.Print(printer), ui::PrintOutcome::Printed);
    EXPECT_TRUE(IsLandscape(ReadPdfPages(pdf)));
    EXPECT_TRUE(prompts_.MessageTexts().isEmpty());
}

} // namespace
