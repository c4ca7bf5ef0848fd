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
    const std::vector<std::pair<res::MenuCommand, std::size_t>> asking{
        {res::Command::FileOpen, 1}, {res::Command::FileSave, 2},   {res::Command::SaveCsv, 2},
        {res::Command::SaveRoi, 2},  {res::Command::SaveRoiCsv, 2}, {res::Command::FilePrint, 1}};
    for (const auto& [command, questions] : asking) {
        prompts_.clear();
        if (command == res::MenuCommand(res::Command::FilePrint))
            prompts_.confirmPrint(false);
        else
            prompts_.cancelFile();
        choose(command);
        EXPECT_EQ(prompts_.questions().size(), questions) << command;
    }
    for (nivra::res::MenuCommand command : {res::Command::ConfigCounter, res::Command::ConfigAssay,
                                            res::Command::About, res::Command::AboutBox}) {
        const int before = otherDialogs_;
        choose(command);
        EXPECT_EQ(otherDialogs_, before + 1) << command;
    }
    // Start and Stop, grayed for the viewer, still say why they do nothing, once each.
    prompts_.clear();
    send(res::Command::RunStart);
    send(res::Command::RunStop);
    EXPECT_EQ(prompts_.messageTexts().size(), 2);

    // A check mark that a second handler toggled back would not change.
    for (int k = 0; k < static_cast<int>(nivra::kStatisticCount); ++k) {
        const bool shown = checked(nivra::statisticAt(k));
        choose(nivra::statisticAt(k));
        EXPECT_NE(checked(nivra::statisticAt(k)), shown) << k;
    }

    choose(res::Command::Assessment);
    ASSERT_NE(window_->assessmentDialog(), nullptr);
    EXPECT_TRUE(window_->assessmentDialog()->isVisible());
    choose(res::Command::History);
    ASSERT_NE(window_->historyDialog(), nullptr);
    EXPECT_TRUE(window_->historyDialog()->isVisible());
    choose(res::Command::CountersWindow);
    EXPECT_TRUE(window_->counters().isVisible());

    choose(res::Command::Counter2);
    EXPECT_EQ(window_->activeSlot(), 2);
    choose(res::Command::FileNew);
    EXPECT_EQ(window_->slot(2).state, NEW);
    choose(res::Command::Viewer);
    EXPECT_EQ(window_->activeSlot(), kViewerSlot);
    // Nothing unsaved and no run: Exit closes the window.
    choose(res::Command::Exit);
    EXPECT_EQ(closed, 1);
}

} // namespace
