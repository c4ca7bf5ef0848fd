// What the operator typed, edited or selected survives the window's own updates: a run's points
// do not overwrite edits being typed or the header-line selection, edits of a record count as
// unsaved, the viewer's slider follows its points, and the window is an ordinary top-level one.

#include "main_window_fixture.h"
#include "ui/controls/range_slider.h"
#include "ui/resources/resource_ids.h"

#include <QLineEdit>
#include <QListWidget>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class EditsTest : public MainWindowTest {};

TEST_F(EditsTest, ARunsNewPointsKeepTypedEditsAndTheSelectedHeaderLine) {
    Open();
    counters_.SetRate(1, 2);
    StartRun(1, WriteAssay("typing", 2, 600));
    // The record runs ahead of the window's display: wait for what the window has shown.
    ASSERT_TRUE(PumpUntil([&] { return ChartRows() >= 2; }));

    auto* roiMin = window_->ControlAs<QLineEdit>(ids::kRoiMinEdit);
    roiMin->setText("7");
    roiMin->setModified(true); // as typing leaves it
    window_->SetItemText(ids::kDeletePointEdit, "1");
    window_->SetItemText(ids::kHeaderEdit, "half a line");
    auto* header = window_->ControlAs<QListWidget>(ids::kHeaderList);
    header->setCurrentRow(2);

    const int points = ChartRows();
    ASSERT_TRUE(PumpUntil([&] { return ChartRows() >= points + 2; }));
    EXPECT_EQ(Text(ids::kRoiMinEdit), "7");
    EXPECT_EQ(Text(ids::kDeletePointEdit), "1");
    EXPECT_EQ(Text(ids::kHeaderEdit), "half a line");
    EXPECT_EQ(header->currentRow(), 2);
    // The edit the operator left alone follows the points.
    EXPECT_EQ(Text(ids::kRoiMaxEdit).toInt(), ChartRows());

    // Set ROI takes the typed value; later points update the edits again.
    window_->SetItemText(ids::kRoiMaxEdit, "1");
    window_->SetItemText(ids::kRoiMinEdit, "1");
    window_->DispatchCommand(ids::kSetRoiButton);
    const int after = ChartRows();
    ASSERT_TRUE(PumpUntil([&] { return ChartRows() > after; }));
    EXPECT_EQ(Text(ids::kRoiMaxEdit).toInt(), ChartRows());
}

TEST_F(EditsTest, EditingARecordMakesItUnsavedAndOpenAsksFirst) {
    Open();
    OpenInViewer(WriteDataFile("three", {1, 2, 3}));
    ASSERT_TRUE(window_->Slot(kViewerSlot).saved);
    window_->SetItemText(ids::kHeaderEdit, "checked by A.");
    window_->DispatchCommand(ids::kAddHeaderButton);
    EXPECT_FALSE(window_->Slot(kViewerSlot).saved);

    prompts_.Clear();
    Choose(res::kCmdFileOpen);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"Viewer data not saved, save first"});
    EXPECT_EQ(window_->Slot(kViewerSlot).PointCount(), 3u);
}

TEST_F(EditsTest, TheViewersSliderWorksAfterVisitingAnotherSlot) {
    Open();
    OpenInViewer(WriteDataFile("five", {1, 2, 3, 4, 5}));
    Choose(res::kCmdCounter1); // a DEMO slot disables the slider
    EXPECT_FALSE(Slider()->isEnabled());
    Choose(res::kCmdViewer);
    EXPECT_TRUE(Slider()->isEnabled());
}

TEST_F(EditsTest, TheMainWindowIsAnOrdinaryTopLevelWindow) {
    Open();
    const Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window_->isModal());
    EXPECT_EQ(window_->parentWidget(), nullptr);
}

} // namespace
