// The Assessment dialog in the main window: the figures and pictures of the active slot's
// points or region, its refresh as the record changes and as a run closes points, and printing.

#include "base/sha256.h"
#include "main_window_fixture.h"
#include "model/assessment.h"
#include "model/class_decision.h"
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
#include <fstream>

using nivra::ui::kViewerSlot;

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
    AssessmentDlg& openAssessment() {
        choose(res::Command::Assessment);
        AssessmentDlg* dialog = window_->assessmentDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return *dialog;
    }

    static QStringList lines(const Assessment& assessment) {
        QStringList lines;
        for (const std::string& line : assessmentLines(assessment))
            lines << QString::fromStdString(line);
        return lines;
    }

    static std::size_t histogramPoints(const AssessmentDlg& dialog) {
        std::size_t points = 0;
        for (const CountBin& bin : dialog.histogram().bins())
            points += bin.points;
        return points;
    }

    static void savePicture(AssessmentDlg& dialog, const std::string& name) {
        const QImage image = dialog.grab().toImage();
        ASSERT_FALSE(image.isNull());
        const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(image.save(QString::fromStdString(folder + "/" + name)));
    }
};

TEST_F(AssessmentTest, ShowsTheFiguresOfAllDataOrTheRoiAndFollowsTheActiveSlot) {
    open();
    openInViewer(writeDataFile("smear", kSmear));
    const AssayData& record = *window_->slot(kViewerSlot).data;
    AssessmentDlg& dialog = openAssessment();

    EXPECT_EQ(dialog.heading(), "Viewer, All Data: points 1 to 47");
    EXPECT_EQ(dialog.figureLines(), lines(assess(record)));
    EXPECT_EQ(dialog.figureLines().last(), "Dispersion verdict: over-dispersed");
    EXPECT_EQ(dialog.points().counts(), kSmear);
    EXPECT_EQ(dialog.points().firstNumber(), 1);
    dialog.repaint();
    EXPECT_EQ(histogramPoints(dialog), kSmear.size());
    savePicture(dialog, "assessment.png");
    // Made as small as it goes, the dialog still shows every text whole.
    dialog.resize(dialog.minimumSizeHint());
    dialog.layout()->activate();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();

    // The region of the range slider, as the ROI statistics take it: points 3 to 47.
    window_->ui().lowUp->click();
    window_->ui().lowUp->click();
    dialog.setRange(AssessmentRange::Roi);
    EXPECT_EQ(dialog.heading(), "Viewer, ROI: points 3 to 47");
    EXPECT_EQ(dialog.figureLines(), lines(assess(record, 3, 47)));
    EXPECT_EQ(dialog.points().firstNumber(), 3);
    EXPECT_EQ(dialog.points().counts().size(), 45u);
    // The ROI view follows the region the window's step buttons make.
    window_->ui().highDown->click();
    ASSERT_TRUE(pumpUntil([&] { return dialog.points().counts().size() == 44u; }));
    EXPECT_EQ(dialog.heading(), "Viewer, ROI: points 3 to 46");

    // Deleting the burst resets the region to every point; the dialog follows once the window's
    // events are handled.
    window_->ui().deletePointEdit->setText(QStringLiteral("34"));
    window_->ui().deletePoint->click();
    ASSERT_TRUE(pumpUntil([&] { return dialog.points().counts().size() == 46u; }));
    EXPECT_EQ(dialog.heading(), "Viewer, ROI: points 1 to 46");
    EXPECT_EQ(dialog.figureLines(), lines(assess(record)));
    EXPECT_EQ(dialog.figureLines().last(), "Dispersion verdict: pass");

    // A slot without a record shows no figures and empty pictures.
    choose(res::Command::Counter1);
    ASSERT_TRUE(pumpUntil([&] { return dialog.points().counts().empty(); }));
    EXPECT_EQ(dialog.heading(), "Counter 1, ROI: no points to assess");
    EXPECT_TRUE(dialog.figureLines().isEmpty());
    dialog.repaint();
    EXPECT_TRUE(dialog.histogram().bins().empty());

    // Closed and chosen again: the same dialog, brought back up to date.
    dialog.close();
    choose(res::Command::Viewer);
    EXPECT_EQ(&openAssessment(), &dialog);
    EXPECT_EQ(dialog.heading(), "Viewer, ROI: points 1 to 46");
}

// Dwell 4 s, total 40 s: ten points in forty seconds.
TEST_F(AssessmentTest, FollowsARunOncePerClosedPointAlsoWithoutScreenUpdates) {
    open();
    counters_.setRate(1, 3);
    counters_.setNoise(1, 5);
    std::atomic<int> seconds = 0, points = 0;
    QObject::connect(&window_->runReports(), &ui::RunEvents::secondReported, [&] { ++seconds; });
    QObject::connect(&window_->runReports(), &ui::RunEvents::pointReported, [&] { ++points; });
    const std::int64_t t0 = clock_.startSeconds();
    clock_.pauseAt(t0 + 15);
    startRun(1, writeAssay("follow", 4, 40));
    AssessmentDlg& dialog = openAssessment();
    const AssayData& record = *window_->slot(1).data;

    ASSERT_TRUE(clock_.waitUntilPaused());
    ASSERT_TRUE(pumpUntil([&] { return dialog.points().counts() == record.counts(); }));
    ASSERT_EQ(record.pointCount(), 3u);
    EXPECT_EQ(dialog.heading(), "Counter 1, All Data: points 1 to 3");
    EXPECT_EQ(dialog.figureLines(), lines(assess(record)));

    // With the window's view held, the dialog still takes every point.
    window_->ui().screenUpdates->click();
    ASSERT_FALSE(window_->screenUpdates());
    const int refreshes = dialog.refreshes();
    const int secondsBefore = seconds, pointsBefore = points;
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    ASSERT_TRUE(pumpUntilNoRuns());
    pumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(record.pointCount(), 10u);
    EXPECT_EQ(dialog.points().counts(), record.counts());
    EXPECT_EQ(dialog.figureLines(), lines(assess(record)));
    // Seven points and the end of the run, never a refresh for a second that closed nothing.
    EXPECT_EQ(points - pointsBefore, 7);
    EXPECT_GE(seconds - secondsBefore, 24);
    EXPECT_GE(dialog.refreshes() - refreshes, 1);
    EXPECT_LE(dialog.refreshes() - refreshes, 7 + 2);
}

// A limit typed for the slot becomes its record's, which is then unsaved, and the decision shows
// as nivra-cli assess prints it; a text that is no limit is refused and changes nothing.
TEST_F(AssessmentTest, AClassLimitTypedForTheSlotIsTheRecordsAndDecides) {
    open();
    openInViewer(writeDataFile("smear", kSmear));
    const AssayData& record = *window_->slot(kViewerSlot).data;
    AssessmentDlg& dialog = openAssessment();
    EXPECT_TRUE(dialog.decisionLines().isEmpty()); // no limit yet

    dialog.typeClassLimit(QStringLiteral("0.05"));
    EXPECT_EQ(record.assayConfig().classLimit, 0.05);
    EXPECT_FALSE(window_->slot(kViewerSlot).saved);
    QStringList expected;
    for (const std::string& line :
         classDecisionLines(decideClass(assess(record), 0.05, record.assayConfig(), {})))
        expected << QString::fromStdString(line);
    EXPECT_EQ(dialog.decisionLines(), expected);
    savePicture(dialog, "assessment_decision.png");

    for (const char* refused : {"-1", "low", "nan"}) {
        dialog.typeClassLimit(QString::fromLatin1(refused));
        EXPECT_EQ(record.assayConfig().classLimit, 0.05) << refused;
        EXPECT_TRUE(prompts_.messageTexts().last().startsWith("Enter the class limit")) << refused;
    }
    EXPECT_EQ(dialog.decisionLines(), expected);

    dialog.typeClassLimit(QString()); // nothing: no limit
    EXPECT_FALSE(record.assayConfig().classLimit);
    EXPECT_TRUE(dialog.decisionLines().isEmpty());

    // The record no longer is what its file holds: no report until it is saved.
    dialog.savePdf();
    EXPECT_TRUE(prompts_.messageTexts().last().startsWith("Save the data to a data file first"));
}

// Save PDF… reports on the data file that holds the slot's record, naming its SHA-256.
TEST_F(AssessmentTest, SavesThePdfReportOfTheSlotsDataFile) {
    open();
    const std::string data = writeDataFile("smear", kSmear);
    openInViewer(data);
    AssessmentDlg& dialog = openAssessment();
    const std::string pdf = dir_.file("smear report.pdf");
    prompts_.chooseFile(QString::fromStdString(pdf));
    dialog.savePdf();
    EXPECT_TRUE(prompts_.messageTexts().last().endsWith(
        QString::fromStdString("SHA-256: " + sha256OfFile(data))))
        << prompts_.messageTexts().last().toStdString();
    std::ifstream written(pdf, std::ios::binary);
    std::string magic(5, '\0');
    written.read(magic.data(), 5);
    EXPECT_EQ(magic, "%PDF-");
}

TEST_F(AssessmentTest, PrintsTheDialogOnOneLandscapePage) {
    open();
    openInViewer(writeDataFile("smear", kSmear));
    AssessmentDlg& dialog = openAssessment();
    prompts_.confirmPrint();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_.file("assessment.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(dialog.print(printer), ui::PrintOutcome::Printed);
    EXPECT_TRUE(isLandscape(readPdfPages(pdf)));
    EXPECT_TRUE(prompts_.messageTexts().isEmpty());
}

} // namespace
