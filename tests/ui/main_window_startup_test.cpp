// The main window after start-up: counters offered, the initial state of every control, the
// statistics selection, a counter slot on which nothing has been prepared, and the application.

#include "main_window_fixture.h"
#include "ui/main_window/nivra_app.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <tuple>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class StartupTest : public MainWindowTest {
protected:
    void ExpectSlider(double min, double max, double low, double high) {
        double selLow = 0, selHigh = 0;
        Slider()->GetSelection(selLow, selHigh);
        EXPECT_EQ(std::make_tuple(Slider()->RangeMin(), Slider()->RangeMax(), selLow, selHigh),
                  std::make_tuple(min, max, low, high));
    }
};

const int kFileAndRunCommands[] = {res::kCmdFileNew,  res::kCmdFileOpen, res::kCmdFileSave,
                                   res::kCmdSaveCsv,  res::kCmdSaveRoi,  res::kCmdSaveRoiCsv,
                                   res::kCmdRunStart, res::kCmdRunStop};

TEST_F(StartupTest, TheWindowStartsOnTheViewerWithEveryControlInPlace) {
    Open(2);
    EXPECT_TRUE(prompts_.Questions().empty());

    EXPECT_EQ(Text(ids::kStatusLabel), "VIEWER");
    EXPECT_EQ(Text(ids::kActiveLabel), "ACTIVE: VIEWER");
    EXPECT_EQ(Text(ids::kFileLabel), ""); // the viewer's empty file name replaces "File:"
    auto* progress = window_->ControlAs<QProgressBar>(ids::kProgressBar);
    EXPECT_EQ(std::make_tuple(progress->minimum(), progress->maximum(), progress->value()),
              std::make_tuple(0, 100, 0));
    EXPECT_FALSE(Slider()->isEnabled());
    ExpectSlider(1, 5, 2, 3);
    EXPECT_EQ(Text(ids::kRoiMinEdit), "2");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "3");
    EXPECT_EQ(Text(ids::kScreenUpdatesButton), "Disable Screen Updates");
    EXPECT_FALSE(window_->Control(ids::kScreenUpdatesButton)->isEnabled());
    EXPECT_TRUE(window_->ScreenUpdates());
    EXPECT_FALSE(Heartbeat());
    EXPECT_TRUE(ChartWidget()->ShowsSample());

    // Among the File and Assay Run items the viewer offers only Open.
    for (int command : kFileAndRunCommands)
        EXPECT_EQ(Enabled(command), command == res::kCmdFileOpen) << command;
    for (int command : {res::kCmdViewer, res::kCmdCounter1, res::kCmdCounter1 + 1})
        EXPECT_FALSE(Checked(command));

    // "&About Nivra..." ends the About drop-down, after a separator.
    QAction* about = window_->Menu()->Action(res::kCmdAboutBox);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About Nivra...");
    const QList<QAction*> aboutItems = window_->Menu()->Bar()->actions().last()->menu()->actions();
    ASSERT_EQ(aboutItems.size(), 3);
    EXPECT_TRUE(aboutItems[1]->isSeparator());
    EXPECT_EQ(aboutItems[2], about);

    // The window: fixed size on its near-white background, with the application icon; the dump
    // lists in their larger font (the statistics pair as large as fits, see window_text_fits).
    EXPECT_FALSE(window_->windowIcon().isNull());
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_EQ(window_->palette().color(QPalette::Window), QColor(254, 254, 254));
    for (int id : {ids::kDataDumpList, ids::kRoiDumpList})
        EXPECT_DOUBLE_EQ(window_->Control(id)->font().pointSizeF(), 11.5) << id;
}

TEST_F(StartupTest, AtMostFourCountersAreOfferedAndNothingIsReported) {
    for (int found : {0, 3, 6}) {
        SCOPED_TRACE(found);
        Open(found);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(Enabled(res::kCmdCounter1 + k - 1), k <= found) << k;
        EXPECT_TRUE(Enabled(res::kCmdViewer));
    }
    EXPECT_TRUE(prompts_.Questions().empty());
}

TEST_F(StartupTest, AnUnreadableCurrentDirectoryIsReportedOnceAndStartUpGoesOn) {
    Open(1, false);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"GetStartingDirectory failed."});
    EXPECT_TRUE(Enabled(res::kCmdCounter1));
    EXPECT_EQ(Text(ids::kStatusLabel), "VIEWER");
}

TEST_F(StartupTest, StatisticsShowMenuFollowsItsFileAndEachCommandTogglesAndSaves) {
    // The first start finds no file: nothing is shown, and the file is written so.
    Open();
    for (int k = 0; k < res::kStatisticCount; ++k)
        EXPECT_FALSE(Checked(res::kCmdFirstStatistic + k)) << k;
    const std::string first = ReadFileBytes(dir_.file("stats_display_config.pfx"));
    EXPECT_NE(first.find("LOD997=false"), std::string::npos);
    EXPECT_EQ(first.find("=true"), std::string::npos);

    WriteFileBytes(dir_.file("stats_display_config.pfx"),
                   "[STATS SHOW]\r\nNumPoints=true\r\nLOD997=true\r\n");
    Open();
    const int numPoints = res::statisticCommand(Statistic::NumPoints);
    const int firstError = res::statisticCommand(Statistic::Netapercm2hrErr); // "± err"
    EXPECT_TRUE(Checked(numPoints));
    EXPECT_FALSE(Checked(res::statisticCommand(Statistic::Mean)));
    EXPECT_TRUE(Checked(res::statisticCommand(Statistic::LOD997)));
    window_->Menu()->Action(firstError)->trigger();
    window_->Menu()->Action(numPoints)->trigger();
    EXPECT_TRUE(Checked(firstError));
    EXPECT_FALSE(Checked(numPoints));
    StatsShow saved;
    saved.load(dir_.file("stats_display_config.pfx"));
    EXPECT_EQ(saved, window_->StatsSelection());
    EXPECT_TRUE(saved.shows(Statistic::Netapercm2hrErr));
}

// A counter slot on which nothing has been prepared, then cleared for a run.
TEST_F(StartupTest, ACounterSlotStartsInDemoAndFileNewPreparesItForARun) {
    Open();
    window_->Menu()->Action(res::kCmdCounter1)->trigger();
    EXPECT_EQ(window_->ActiveSlot(), 1);
    EXPECT_EQ(Text(ids::kStatusLabel), "DEMO");
    EXPECT_EQ(Text(ids::kActiveLabel), "ACTIVE COUNTER: 1");
    EXPECT_TRUE(Checked(res::kCmdCounter1));
    for (int command : kFileAndRunCommands)
        EXPECT_EQ(Enabled(command), command == res::kCmdFileNew) << command;
    EXPECT_EQ(ChartRows(), 0);
    EXPECT_FALSE(ChartWidget()->ShowsSample());
    EXPECT_EQ(Progress(), 0);
    EXPECT_FALSE(Slider()->isEnabled());
    ExpectSlider(1, 1, 1, 1);
    EXPECT_EQ(Text(ids::kRoiMinEdit), "1");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "1");
    EXPECT_EQ(Text(ids::kEndTimeLabel), "End Time: ");
    EXPECT_EQ(Text(ids::kTimeLeftLabel), "Time Left:");

    window_->Menu()->Action(res::kCmdFileNew)->trigger();
    EXPECT_EQ(window_->Slot(1).state, NEW);
    EXPECT_EQ(Text(ids::kStatusLabel), "NEW");
    EXPECT_EQ(Text(ids::kFileLabel), "File: ");
    for (int command : kFileAndRunCommands)
        EXPECT_EQ(Enabled(command), command == res::kCmdRunStart) << command;
    EXPECT_TRUE(prompts_.Questions().empty());
}

TEST(NivraApp, WritesTheTestEntryRunsTheWindowAndReturnsFalse) {
    TempDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.path()));
    const std::string savedStart = GetStartingDirectory();
    TempDir start;
    int runs = 0;
    NivraDlgEnvironment environment;
    environment.startup = [&] {
        GetStartingDirectory() = start.path();
        return CounterStartup{1, true, {}};
    };
    environment.runModal = [&](CDialogBase& dialog) {
        ++runs;
        auto* window = qobject_cast<CNivraDlg*>(&dialog);
        EXPECT_NE(window, nullptr);
        dialog.InitDialog();
        EXPECT_TRUE(window->Menu()->IsEnabled(res::kCmdCounter1));
        return int(QDialog::Rejected);
    };
    CNivraApp app(environment);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(runs, 1);
    QSettings written(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                      QCoreApplication::applicationName());
    EXPECT_EQ(written.value(QStringLiteral("NivraUSB/testentry")).toString(), "testvalue");
    GetStartingDirectory() = savedStart;
}

} // namespace
