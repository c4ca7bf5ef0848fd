// What the operator typed, edited or selected survives the window's own updates: a run's points
// do not overwrite edits being typed or the header-line selection, edits of a record count as
// unsaved, the viewer's slider follows its points, and the window is an ordinary top-level one.

#include "main_window_fixture.h"
#include "ui/controls/range_slider.h"
#include "ui/resources/resource_ids.h"

#include <QLineEdit>
#include <QListWidget>

using nivra::ui::kViewerSlot;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class EditsTest : public MainWindowTest {};

TEST_F(EditsTest, ARunsNewPointsKeepTypedEditsAndTheSelectedHeaderLine) {
    open();
    counters_.setRate(1, 2);
    startRun(1, writeAssay("typing", 2, 600));
    // The record runs ahead of the window's display: wait for what the window has shown.
    ASSERT_TRUE(pumpUntil([&] { return chartRows() >= 2; }));

    auto* roiMin = window_->ui().roiMin;
    roiMin->setText("7");
    roiMin->setModified(true); // as typing leaves it
    window_->ui().deletePointEdit->setText("1");
    window_->ui().headerEdit->setText("half a line");
    auto* header = window_->ui().headerList;
    header->setCurrentRow(2);

    const int points = chartRows();
    ASSERT_TRUE(pumpUntil([&] { return chartRows() >= points + 2; }));
    EXPECT_EQ(text(&Ui::roiMin), "7");
    EXPECT_EQ(text(&Ui::deletePointEdit), "1");
    EXPECT_EQ(text(&Ui::headerEdit), "half a line");
    EXPECT_EQ(header->currentRow(), 2);
    // The edit the operator left alone follows the points.
    EXPECT_EQ(text(&Ui::roiMax).toInt(), chartRows());

    // Set ROI takes the typed value; later points update the edits again.
    window_->ui().roiMax->setText("1");
    window_->ui().roiMin->setText("1");
    window_->ui().setRoi->click();
    const int after = chartRows();
    ASSERT_TRUE(pumpUntil([&] { return chartRows() > after; }));
    EXPECT_EQ(text(&Ui::roiMax).toInt(), chartRows());
}

TEST_F(EditsTest, EditingARecordMakesItUnsavedAndOpenAsksFirst) {
    open();
    openInViewer(writeDataFile("three", {1, 2, 3}));
    ASSERT_TRUE(window_->slot(kViewerSlot).saved);
    window_->ui().headerEdit->setText("checked by A.");
    window_->ui().addHeader->click();
    EXPECT_FALSE(window_->slot(kViewerSlot).saved);

    // Cancel keeps the edited record; No gives it up for the file chosen.
    prompts_.clear();
    prompts_.reply(ui::Answer::Cancel);
    choose(res::Command::FileOpen);
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList{"Viewer data not saved, would you like to save?"});
    EXPECT_EQ(prompts_.questions()[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(window_->slot(kViewerSlot).pointCount(), 3u);
    EXPECT_FALSE(window_->slot(kViewerSlot).saved);

    prompts_.reply(ui::Answer::No);
    openInViewer(writeDataFile("two", {4, 5}));
    EXPECT_EQ(window_->slot(kViewerSlot).data->counts(), (std::vector<std::int32_t>{4, 5}));
    EXPECT_TRUE(window_->slot(kViewerSlot).saved);
}

// After Delete the viewer has no New; Open offers to save the edit, from another slot too.
TEST_F(EditsTest, ADeletedPointRefreshesTheDumpAndOpenCanSaveItFirst) {
    open();
    openInViewer(writeDataFile("three", {1, 2, 3}));
    window_->ui().dataDumpButton->click();
    window_->ui().roiDumpButton->click();
    window_->ui().deletePointEdit->setText("1");
    window_->ui().deletePoint->click();
    EXPECT_EQ(items(&Ui::dataDump), (QStringList{"1:2", "2:3"}));
    EXPECT_EQ(items(&Ui::roiDump), (QStringList{"1:2", "2:3"}));

    choose(res::Command::Counter1);
    prompts_.clear();
    const std::string saved = dir_.file("edited.dax");
    prompts_.reply(ui::Answer::Yes).chooseFile(QString::fromStdString(saved));
    openInViewer(writeDataFile("next", {8}));
    EXPECT_EQ(nivra::readDataFile(saved)->counts(), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(window_->slot(kViewerSlot).data->counts(), std::vector<std::int32_t>{8});
    EXPECT_EQ(window_->activeSlot(), kViewerSlot);

    // A save asked for that does not happen keeps the edit and opens nothing.
    window_->ui().deletePoint->click();
    prompts_.clear();
    prompts_.reply(ui::Answer::Yes).cancelFile();
    send(res::Command::FileOpen);
    EXPECT_FALSE(window_->slot(kViewerSlot).saved);
    EXPECT_TRUE(prompts_.messageTexts().contains("data not saved"));
    EXPECT_EQ(prompts_.pendingReplies(), 0u) << "no open dialog after the refused save";
}

TEST_F(EditsTest, TheViewersSliderWorksAfterVisitingAnotherSlot) {
    open();
    openInViewer(writeDataFile("five", {1, 2, 3, 4, 5}));
    choose(res::Command::Counter1); // a DEMO slot disables the slider
    EXPECT_FALSE(slider()->isEnabled());
    choose(res::Command::Viewer);
    EXPECT_TRUE(slider()->isEnabled());
}

TEST_F(EditsTest, TheMainWindowIsAnOrdinaryTopLevelWindow) {
    open();
    const Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window_->isModal());
    EXPECT_EQ(window_->parentWidget(), nullptr);
}

} // namespace
