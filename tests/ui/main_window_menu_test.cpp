// The main window's menu items are actions, each connected to the one part that handles it:
// choosing an item runs its handler exactly once, whichever part owns it.

#include "main_window_fixture.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/dialogs/history_dlg.h"
#include "ui/main_window/counters_window.h"

using nivra::ui::kViewerSlot;
using nivra::ui::NEW;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class MenuTest : public MainWindowTest {};

TEST_F(MenuTest, EveryItemRunsItsHandlerOnce) {
    open(2);
    openInViewer(writeDataFile("menu", {1, 2, 3}));
    int closed = 0;
    QObject::connect(window_.get(), &ui::MainWindow::closed, [&] { ++closed; });

    // The File items ask as often as their handlers run: a cancelled file dialog, and for the
    // saves "data not saved" after it; a cancelled print dialog.
    const std::vector<std::pair<int, std::size_t>> asking{
        {res::kCmdFileOpen, 1}, {res::kCmdFileSave, 2},   {res::kCmdSaveCsv, 2},
        {res::kCmdSaveRoi, 2},  {res::kCmdSaveRoiCsv, 2}, {res::kCmdFilePrint, 1}};
    for (const auto& [command, questions] : asking) {
        prompts_.clear();
        if (command == res::kCmdFilePrint)
            prompts_.confirmPrint(false);
        else
            prompts_.cancelFile();
        choose(command);
        EXPECT_EQ(prompts_.questions().size(), questions) << command;
    }
    for (int command :
         {res::kCmdConfigCounter, res::kCmdConfigAssay, res::kCmdAbout, res::kCmdAboutBox}) {
        const int before = otherDialogs_;
        choose(command);
        EXPECT_EQ(otherDialogs_, before + 1) << command;
    }
    // Start and Stop, grayed for the viewer, still say why they do nothing, once each.
    prompts_.clear();
    send(res::kCmdRunStart);
    send(res::kCmdRunStop);
    EXPECT_EQ(prompts_.messageTexts().size(), 2);

    // A check mark that a second handler toggled back would not change.
    for (int k = 0; k < res::kStatisticCount; ++k) {
        const bool shown = checked(res::kCmdFirstStatistic + k);
        choose(res::kCmdFirstStatistic + k);
        EXPECT_NE(checked(res::kCmdFirstStatistic + k), shown) << k;
    }

    choose(res::kCmdAssessment);
    ASSERT_NE(window_->assessmentDialog(), nullptr);
    EXPECT_TRUE(window_->assessmentDialog()->isVisible());
    choose(res::kCmdHistory);
    ASSERT_NE(window_->historyDialog(), nullptr);
    EXPECT_TRUE(window_->historyDialog()->isVisible());
    choose(res::kCmdCountersWindow);
    EXPECT_TRUE(window_->counters().isVisible());

    choose(res::kCmdCounter1 + 1);
    EXPECT_EQ(window_->activeSlot(), 2);
    choose(res::kCmdFileNew);
    EXPECT_EQ(window_->slot(2).state, NEW);
    choose(res::kCmdViewer);
    EXPECT_EQ(window_->activeSlot(), kViewerSlot);
    // Nothing unsaved and no run: Exit closes the window.
    choose(res::kCmdExit);
    EXPECT_EQ(closed, 1);
}

} // namespace
