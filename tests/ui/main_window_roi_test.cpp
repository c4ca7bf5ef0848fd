// The region of interest and point editing of the main window: the four step buttons, "Set ROI",
// the slider's own moves, "Delete" of a point, and "Add" and "Del" of header lines. The records
// come from data files opened into the viewer, so their points are known exactly.

#include "main_window_fixture.h"
#include "ui/resources/resource_ids.h"

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class RoiTest : public MainWindowTest {
protected:
    // The viewer showing a record of `points` points counting 1, 2, 3, ...
    void OpenPoints(int points) {
        std::vector<std::int32_t> counts;
        for (int k = 1; k <= points; ++k)
            counts.push_back(k);
        Open();
        OpenInViewer(WriteDataFile("points", counts, {"first line", "second line"}));
        ASSERT_EQ(window_->Slot(kViewerSlot).PointCount(), static_cast<std::size_t>(points));
        prompts_.Clear();
    }

    void SetRoi(const QString& low, const QString& high) {
        window_->SetItemText(ids::kRoiMinEdit, low);
        window_->SetItemText(ids::kRoiMaxEdit, high);
        window_->DispatchCommand(ids::kSetRoiButton);
    }

    // The ROI as the slider holds it and as both edits show it, "low-high".
    std::string Roi() const {
        double low = 0, high = 0;
        Slider()->GetSelection(low, high);
        const QString edits = Text(ids::kRoiMinEdit) + "-" + Text(ids::kRoiMaxEdit);
        const QString slider = QString("%1-%2").arg(low).arg(high);
        EXPECT_EQ(edits, slider) << "edits and slider differ";
        return slider.toStdString();
    }

    void Press(int button, int times = 1) {
        for (int i = 0; i < times; ++i)
            window_->DispatchCommand(button);
    }
};

TEST_F(RoiTest, StepButtonsMoveOneEdgeAndNeverCrossTheOtherOrTheRecordsEnds) {
    OpenPoints(10);
    SetRoi("4", "6");
    ASSERT_EQ(Roi(), "4-6");
    EXPECT_EQ(ChartRows(), 3);

    Press(ids::kLowDownButton);
    EXPECT_EQ(Roi(), "3-6");
    EXPECT_EQ(ChartRows(), 4);
    Press(ids::kLowUpButton, 2);
    EXPECT_EQ(Roi(), "5-6");
    Press(ids::kLowUpButton);
    EXPECT_EQ(Roi(), "6-6");
    Press(ids::kLowUpButton);
    EXPECT_EQ(Roi(), "6-6");
    EXPECT_EQ(ChartRows(), 1);
    Press(ids::kHighDownButton);
    EXPECT_EQ(Roi(), "6-6");

    SetRoi("4", "10");
    Press(ids::kHighUpButton);
    EXPECT_EQ(Roi(), "4-10");
    Press(ids::kHighDownButton);
    EXPECT_EQ(Roi(), "4-9");

    SetRoi("1", "6");
    Press(ids::kLowDownButton);
    EXPECT_EQ(Roi(), "1-6");
    EXPECT_TRUE(prompts_.Questions().empty());
}

// The chart numbers the points of a region as the record does, and a range reaching past the
// record shows only the points it has.
TEST_F(RoiTest, TheChartLabelsARegionWithTheRecordsPointNumbers) {
    OpenPoints(10);
    SetRoi("4", "6");
    EXPECT_EQ(ChartWidget()->Label(1), "4:4");
    EXPECT_EQ(ChartWidget()->Label(3), "6:6");
    window_->ShowPoints(9, 15);
    EXPECT_EQ(ChartRows(), 2);
    EXPECT_EQ(ChartWidget()->Label(2), "10:10");
    window_->ShowPoints(1, 0);
    EXPECT_EQ(ChartRows(), 0);
}

TEST_F(RoiTest, AStepAfterADragMakesBothEdgesWholePointNumbers) {
    OpenPoints(10);
    Slider()->SetSelection(3.7, 8.2);
    Press(ids::kLowDownButton);
    EXPECT_EQ(Roi(), "2-8");
    EXPECT_EQ(ChartRows(), 7);
}

TEST_F(RoiTest, SetRoiRefusesBoundsOutsideTheRecordOrInTheWrongOrder) {
    OpenPoints(10);
    SetRoi("2", "9");
    ASSERT_EQ(Roi(), "2-9");
    const struct {
        const char* low;
        const char* high;
        const char* message;
    } refused[] = {
        {"0", "5", "ROI Min must be greater then or equal to 1"},
        {"1", "11", "ROI Max must be less then or equal to number of points"},
        {"7", "5", "ROI Min must be less then or equal to ROI Max"},
        // -1 reads as the largest unsigned number, which is beyond the last point.
        {"3", "-1", "ROI Max must be less then or equal to number of points"},
    };
    for (const auto& c : refused) {
        prompts_.Clear();
        SetRoi(c.low, c.high);
        EXPECT_EQ(prompts_.MessageTexts(), QStringList{c.message}) << c.low << "-" << c.high;
        double low = 0, high = 0;
        Slider()->GetSelection(low, high);
        EXPECT_EQ(low, 2.0);
        EXPECT_EQ(high, 9.0);
        EXPECT_EQ(ChartRows(), 8);
    }

    prompts_.Clear();
    SetRoi("5", "5");
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_EQ(Roi(), "5-5");
    EXPECT_EQ(ChartRows(), 1);
}

// A keyboard move of the slider changes only the edits; "Set ROI" then applies them.
TEST_F(RoiTest, SetRoiAppliesWhatTheSliderLeftInTheEdits) {
    OpenPoints(10);
    Slider()->SetSelection(3.6, 7.9);
    emit Slider()->rangeChanged(CRangeSlider::Part::Both, false);
    EXPECT_EQ(ChartRows(), 10);
    window_->DispatchCommand(ids::kSetRoiButton);
    EXPECT_EQ(Roi(), "3-7");
    EXPECT_EQ(ChartRows(), 5);
}

TEST_F(RoiTest, DeleteRemovesOnePointAndRefusesNumbersOutsideTheRecord) {
    OpenPoints(5);
    for (const char* number : {"0", "6"}) {
        prompts_.Clear();
        window_->SetItemText(ids::kDeletePointEdit, number);
        window_->DispatchCommand(ids::kDeletePointButton);
        EXPECT_EQ(prompts_.MessageTexts(), QStringList{"Can't delete: point out of range"});
        EXPECT_EQ(window_->Slot(kViewerSlot).PointCount(), 5u);
    }
    SetRoi("2", "3");
    window_->SetItemText(ids::kDeletePointEdit, "2");
    window_->DispatchCommand(ids::kDeletePointButton);
    EXPECT_EQ(window_->Slot(kViewerSlot).data->counts(), (std::vector<std::int32_t>{1, 3, 4, 5}));
    EXPECT_EQ(Roi(), "1-4"); // the view shows every remaining point
    EXPECT_EQ(ChartRows(), 4);
    EXPECT_FALSE(window_->Slot(kViewerSlot).saved); // an edit: Open and Exit ask first
}

TEST_F(RoiTest, DeletingTheLastPointLeavesAnEmptyRecordThatTheButtonsLeaveAlone) {
    OpenPoints(1);
    window_->SetItemText(ids::kDeletePointEdit, "1");
    window_->DispatchCommand(ids::kDeletePointButton);
    ASSERT_EQ(window_->Slot(kViewerSlot).PointCount(), 0u);
    EXPECT_EQ(ChartRows(), 0);
    EXPECT_EQ(Text(ids::kRoiMinEdit), "1");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "0");

    prompts_.Clear();
    for (int button :
         {ids::kLowDownButton, ids::kLowUpButton, ids::kHighDownButton, ids::kHighUpButton,
          ids::kSetRoiButton, ids::kDeletePointButton, ids::kAllDataButton, ids::kRoiStatsButton})
        window_->DispatchCommand(button);
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_EQ(Text(ids::kRoiMinEdit), "1");
    EXPECT_EQ(Text(ids::kRoiMaxEdit), "0");
}

TEST_F(RoiTest, HeaderLinesAreAddedEvenWhenEmptyAndTheSelectedOneDeleted) {
    OpenPoints(3);
    window_->SetItemText(ids::kHeaderEdit, "swipe of bench 7");
    window_->DispatchCommand(ids::kAddHeaderButton);
    EXPECT_EQ(Text(ids::kHeaderEdit), "");
    window_->DispatchCommand(ids::kAddHeaderButton);
    const QStringList expected = {"first line", "second line", "swipe of bench 7", ""};
    EXPECT_EQ(Items(ids::kHeaderList), expected);
    ASSERT_EQ(window_->Slot(kViewerSlot).data->headerLineCount(), 4u);

    // Without a selection "Del" does nothing; with one it removes exactly that line.
    window_->DispatchCommand(ids::kDelHeaderButton);
    EXPECT_EQ(Items(ids::kHeaderList), expected);
    auto* list = window_->ControlAs<QListWidget>(ids::kHeaderList);
    list->setCurrentRow(1);
    window_->DispatchCommand(ids::kDelHeaderButton);
    const QStringList remaining = {"first line", "swipe of bench 7", ""};
    EXPECT_EQ(Items(ids::kHeaderList), remaining);
    const auto lines = window_->Slot(kViewerSlot).data->headerLines();
    EXPECT_EQ(lines, (std::vector<std::string>{"first line", "swipe of bench 7", ""}));
}

TEST_F(RoiTest, ASlotWithoutARecordIgnoresEveryEditingButton) {
    Open();
    Choose(res::kCmdCounter1); // DEMO, no record
    window_->SetItemText(ids::kHeaderEdit, "nothing to add to");
    window_->SetItemText(ids::kDeletePointEdit, "1");
    for (int button :
         {ids::kLowDownButton, ids::kHighUpButton, ids::kSetRoiButton, ids::kDeletePointButton,
          ids::kAddHeaderButton, ids::kDelHeaderButton, ids::kAllDataButton, ids::kRoiStatsButton})
        window_->DispatchCommand(button);
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_EQ(window_->Slot(1).data, nullptr);
    EXPECT_EQ(Text(ids::kHeaderEdit), "nothing to add to");
}

} // namespace
