// The main window after start-up: counters offered, the initial state of every control, the
// statistics selection, a counter slot on which nothing has been prepared, and the application.

#include "main_window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <tuple>

using nivra::ui::MainWindow;
using nivra::ui::NEW;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class StartupTest : public MainWindowTest {
protected:
    void expectSlider(double min, double max, double low, double high) {
        double selLow = 0, selHigh = 0;
        slider()->getSelection(selLow, selHigh);
        EXPECT_EQ(std::make_tuple(slider()->rangeMin(), slider()->rangeMax(), selLow, selHigh),
                  std::make_tuple(min, max, low, high));
    }
};

const res::MenuCommand kFileAndRunCommands[] = {
    res::Command::FileNew, res::Command::FileOpen,   res::Command::FileSave, res::Command::SaveCsv,
    res::Command::SaveRoi, res::Command::SaveRoiCsv, res::Command::RunStart, res::Command::RunStop};

TEST_F(StartupTest, TheWindowStartsOnTheViewerWithEveryControlInPlace) {
    open(2);
    EXPECT_TRUE(prompts_.questions().empty());

    EXPECT_EQ(text(&Ui::status), "VIEWER");
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE: VIEWER");
    EXPECT_EQ(text(&Ui::fileLabel), ""); // the viewer's empty file name replaces "File:"
    auto* progress = window_->ui().progress;
    EXPECT_EQ(std::make_tuple(progress->minimum(), progress->maximum(), progress->value()),
              std::make_tuple(0, 100, 0));
    EXPECT_FALSE(slider()->isEnabled());
    expectSlider(1, 5, 2, 3);
    EXPECT_EQ(text(&Ui::roiMin), "2");
    EXPECT_EQ(text(&Ui::roiMax), "3");
    EXPECT_EQ(text(&Ui::screenUpdates), "Disable Screen Updates");
    EXPECT_FALSE(window_->ui().screenUpdates->isEnabled());
    EXPECT_TRUE(window_->screenUpdates());
    EXPECT_FALSE(heartbeat());
    EXPECT_TRUE(chartWidget()->showsSample());

    // Among the File and Assay Run items the viewer offers only Open.
    for (nivra::res::MenuCommand command : kFileAndRunCommands)
        EXPECT_EQ(enabled(command), command == res::MenuCommand(res::Command::FileOpen)) << command;
    for (nivra::res::MenuCommand command :
         {res::Command::Viewer, res::Command::Counter1, res::Command::Counter2})
        EXPECT_FALSE(checked(command));

    // "&About Nivra..." ends the About drop-down, after a separator.
    QAction* about = window_->menu()->action(res::Command::AboutBox);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About Nivra...");
    const QList<QAction*> aboutItems = window_->menu()->bar()->actions().last()->menu()->actions();
    ASSERT_EQ(aboutItems.size(), 3);
    EXPECT_TRUE(aboutItems[1]->isSeparator());
    EXPECT_EQ(aboutItems[2], about);

    // The window: at its layout's size (its smallest) on its near-white background, with the
    // application icon; the dump lists in their larger font (the statistics pair as large as
    // fits, see window_text_fits).
    EXPECT_FALSE(window_->windowIcon().isNull());
    EXPECT_EQ(window_->size(), window_->minimumSize());
    EXPECT_EQ(window_->palette().color(QPalette::Window), QColor(254, 254, 254));
    for (const QListWidget* list : {window_->ui().dataDump, window_->ui().roiDump})
        EXPECT_DOUBLE_EQ(list->font().pointSizeF(), 11.5);
}

TEST_F(StartupTest, AtMostFourCountersAreOfferedAndNothingIsReported) {
    for (int found : {0, 3, 6}) {
        SCOPED_TRACE(found);
        open(found);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(enabled(res::activeCounterCommand(k)), k <= found) << k;
        EXPECT_TRUE(enabled(res::Command::Viewer));
    }
    EXPECT_TRUE(prompts_.questions().empty());
}

TEST_F(StartupTest, AnUnreadableCurrentDirectoryIsReportedOnceAndStartUpGoesOn) {
    open(1, false);
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"GetStartingDirectory failed."});
    // Its files are then kept in the current directory, not at the file system's root.
    EXPECT_TRUE(fileExists(dir_.file(kStatsDisplayFile)));
    EXPECT_TRUE(enabled(res::Command::Counter1));
    EXPECT_EQ(text(&Ui::status), "VIEWER");
}

TEST_F(StartupTest, StatisticsShowMenuFollowsItsFileAndEachCommandTogglesAndSaves) {
    // The first start finds no file: nothing is shown, and the file is written so.
    open();
    for (int k = 0; k < static_cast<int>(nivra::kStatisticCount); ++k)
        EXPECT_FALSE(checked(nivra::statisticAt(k))) << k;
    const std::string first = readFileBytes(dir_.file("stats_display_config.pfx"));
    EXPECT_NE(first.find("LOD997=false"), std::string::npos);
    EXPECT_EQ(first.find("=true"), std::string::npos);

    writeFileBytes(dir_.file("stats_display_config.pfx"),
                   "[STATS SHOW]\r\nNumPoints=true\r\nLOD997=true\r\n");
    open();
    const res::MenuCommand numPoints = res::MenuCommand(Statistic::NumPoints);
    const res::MenuCommand firstError = res::MenuCommand(Statistic::Netapercm2hrErr); // "± err"
    EXPECT_TRUE(checked(numPoints));
    EXPECT_FALSE(checked(res::MenuCommand(Statistic::Mean)));
    EXPECT_TRUE(checked(res::MenuCommand(Statistic::LOD997)));
    window_->menu()->action(firstError)->trigger();
    window_->menu()->action(numPoints)->trigger();
    EXPECT_TRUE(checked(firstError));
    EXPECT_FALSE(checked(numPoints));
    StatsShow saved;
    saved.load(dir_.file("stats_display_config.pfx"));
    EXPECT_EQ(saved, window_->statsSelection());
    EXPECT_TRUE(saved.shows(Statistic::Netapercm2hrErr));
}

// A counter slot on which nothing has been prepared, then cleared for a run.
TEST_F(StartupTest, ACounterSlotStartsInDemoAndFileNewPreparesItForARun) {
    open();
    window_->menu()->action(res::Command::Counter1)->trigger();
    EXPECT_EQ(window_->activeSlot(), 1);
    EXPECT_EQ(text(&Ui::status), "DEMO");
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE COUNTER: 1");
    EXPECT_TRUE(checked(res::Command::Counter1));
    for (nivra::res::MenuCommand command : kFileAndRunCommands)
        EXPECT_EQ(enabled(command), command == res::MenuCommand(res::Command::FileNew)) << command;
    EXPECT_EQ(chartRows(), 0);
    EXPECT_FALSE(chartWidget()->showsSample());
    EXPECT_EQ(progress(), 0);
    EXPECT_FALSE(slider()->isEnabled());
    expectSlider(1, 1, 1, 1);
    EXPECT_EQ(text(&Ui::roiMin), "1");
    EXPECT_EQ(text(&Ui::roiMax), "1");
    EXPECT_EQ(text(&Ui::endTime), "End Time: ");
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left:");

    window_->menu()->action(res::Command::FileNew)->trigger();
    EXPECT_EQ(window_->slot(1).state, NEW);
    EXPECT_EQ(text(&Ui::status), "NEW");
    EXPECT_EQ(text(&Ui::fileLabel), "File: ");
    for (nivra::res::MenuCommand command : kFileAndRunCommands)
        EXPECT_EQ(enabled(command), command == res::MenuCommand(res::Command::RunStart)) << command;
    EXPECT_TRUE(prompts_.questions().empty());
}

} // namespace
