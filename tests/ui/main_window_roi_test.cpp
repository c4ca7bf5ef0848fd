// The region of interest and point editing of the main window: the four step buttons, "Set ROI",
// the slider's own moves, "Delete" of a point, and "Add" and "Del" of header lines. The records
// come from data files opened into the viewer, so their points are known exactly.

#include "main_window_fixture.h"
#include "ui/resources/resource_ids.h"

using nivra::ui::kViewerSlot;
using nivra::ui::RangeSlider;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class RoiTest : public MainWindowTest {
protected:
    // The viewer showing a record of `points` points counting 1, 2, 3, ...
    void openPoints(int points) {
        std::vector<std::int32_t> counts;
        for (int k = 1; k <= points; ++k)
            counts.push_back(k);
        open();
        openInViewer(writeDataFile("points", counts, {"first line", "second line"}));
        ASSERT_EQ(window_->slot(kViewerSlot).pointCount(), static_cast<std::size_t>(points));
        prompts_.clear();
    }

    void setRoi(const QString& low, const QString& high) {
        window_->ui().roiMin->setText(low);
        window_->ui().roiMax->setText(high);
        window_->ui().setRoi->click();
    }

    // The ROI as the slider holds it and as both edits show it, "low-high".
    std::string roi() const {
        double low = 0, high = 0;
        slider()->getSelection(low, high);
        const QString edits = text(&Ui::roiMin) + "-" + text(&Ui::roiMax);
        const QString slider = QString("%1-%2").arg(low).arg(high);
        EXPECT_EQ(edits, slider) << "edits and slider differ";
        return slider.toStdString();
    }
};

TEST_F(RoiTest, StepButtonsMoveOneEdgeAndNeverCrossTheOtherOrTheRecordsEnds) {
    openPoints(10);
    setRoi("4", "6");
    ASSERT_EQ(roi(), "4-6");
    EXPECT_EQ(chartRows(), 3);

    press(&Ui::lowDown);
    EXPECT_EQ(roi(), "3-6");
    EXPECT_EQ(chartRows(), 4);
    press(&Ui::lowUp, 2);
    EXPECT_EQ(roi(), "5-6");
    press(&Ui::lowUp);
    EXPECT_EQ(roi(), "6-6");
    press(&Ui::lowUp);
    EXPECT_EQ(roi(), "6-6");
    EXPECT_EQ(chartRows(), 1);
    press(&Ui::highDown);
    EXPECT_EQ(roi(), "6-6");

    setRoi("4", "10");
    press(&Ui::highUp);
    EXPECT_EQ(roi(), "4-10");
    press(&Ui::highDown);
    EXPECT_EQ(roi(), "4-9");

    setRoi("1", "6");
    press(&Ui::lowDown);
    EXPECT_EQ(roi(), "1-6");
    EXPECT_TRUE(prompts_.questions().empty());
}

// The chart numbers the points of a region as the record does, and a range reaching past the
// record shows only the points it has.
TEST_F(RoiTest, TheChartLabelsARegionWithTheRecordsPointNumbers) {
    openPoints(10);
    setRoi("4", "6");
    EXPECT_EQ(chartWidget()->label(1), "4:4");
    EXPECT_EQ(chartWidget()->label(3), "6:6");
    window_->showPoints(9, 15);
    EXPECT_EQ(chartRows(), 2);
    EXPECT_EQ(chartWidget()->label(2), "10:10");
    window_->showPoints(1, 0);
    EXPECT_EQ(chartRows(), 0);
}

TEST_F(RoiTest, AStepAfterADragMakesBothEdgesWholePointNumbers) {
    openPoints(10);
    slider()->setSelection(3.7, 8.2);
    press(&Ui::lowDown);
    EXPECT_EQ(roi(), "2-8");
    EXPECT_EQ(chartRows(), 7);
}

TEST_F(RoiTest, SetRoiRefusesBoundsOutsideTheRecordOrInTheWrongOrder) {
    openPoints(10);
    setRoi("2", "9");
    ASSERT_EQ(roi(), "2-9");
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
        prompts_.clear();
        setRoi(c.low, c.high);
        EXPECT_EQ(prompts_.messageTexts(), QStringList{c.message}) << c.low << "-" << c.high;
        // The region stays, and the edits show it again rather than the refused numbers.
        EXPECT_EQ(roi(), "2-9") << c.low << "-" << c.high;
        EXPECT_EQ(chartRows(), 8);
    }

    prompts_.clear();
    setRoi("5", "5");
    EXPECT_TRUE(prompts_.questions().empty());
    EXPECT_EQ(roi(), "5-5");
    EXPECT_EQ(chartRows(), 1);
}

// A keyboard move of the slider changes only the edits; "Set ROI" then applies them.
TEST_F(RoiTest, SetRoiAppliesWhatTheSliderLeftInTheEdits) {
    openPoints(10);
    slider()->setSelection(3.6, 7.9);
    emit slider()->rangeChanged(RangeSlider::Part::Both, false);
    EXPECT_EQ(chartRows(), 10);
    window_->ui().setRoi->click();
    EXPECT_EQ(roi(), "3-7");
    EXPECT_EQ(chartRows(), 5);
}

TEST_F(RoiTest, DeleteRemovesOnePointAndRefusesNumbersOutsideTheRecord) {
    openPoints(5);
    for (const char* number : {"0", "6"}) {
        prompts_.clear();
        window_->ui().deletePointEdit->setText(number);
        window_->ui().deletePoint->click();
        EXPECT_EQ(prompts_.messageTexts(), QStringList{"Can't delete: point out of range"});
        EXPECT_EQ(window_->slot(kViewerSlot).pointCount(), 5u);
    }
    setRoi("2", "3");
    window_->ui().deletePointEdit->setText("2");
    window_->ui().deletePoint->click();
    EXPECT_EQ(window_->slot(kViewerSlot).data->counts(), (std::vector<std::int32_t>{1, 3, 4, 5}));
    EXPECT_EQ(roi(), "1-4"); // the view shows every remaining point
    EXPECT_EQ(chartRows(), 4);
    EXPECT_FALSE(window_->slot(kViewerSlot).saved); // an edit: Open and Exit ask first
}

// Each button reads only its own edits: a number that does not convert deletes nothing (not the
// point named before), and a refused point number does not keep Set ROI from reading its edits.
TEST_F(RoiTest, AnUnreadableNumberDeletesNothingAndStaysOutOfTheRegion) {
    openPoints(5);
    window_->ui().deletePointEdit->setText("2");
    window_->ui().deletePoint->click();
    ASSERT_EQ(window_->slot(kViewerSlot).pointCount(), 4u);
    prompts_.clear();
    window_->ui().deletePointEdit->clear();
    window_->ui().deletePoint->click();
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"Enter a positive integer."});
    EXPECT_EQ(window_->slot(kViewerSlot).pointCount(), 4u);

    prompts_.clear();
    setRoi("2", "3");
    EXPECT_TRUE(prompts_.questions().empty());
    EXPECT_EQ(roi(), "2-3");
    EXPECT_EQ(window_->ui().deletePointEdit->text(), QString()) << "not rewritten by Set ROI";
}

TEST_F(RoiTest, DeletingTheLastPointLeavesAnEmptyRecordThatTheButtonsLeaveAlone) {
    openPoints(1);
    window_->ui().deletePointEdit->setText("1");
    window_->ui().deletePoint->click();
    ASSERT_EQ(window_->slot(kViewerSlot).pointCount(), 0u);
    EXPECT_EQ(chartRows(), 0);
    EXPECT_EQ(text(&Ui::roiMin), "1");
    EXPECT_EQ(text(&Ui::roiMax), "0");

    prompts_.clear();
    for (QPushButton* Ui::*button : {&Ui::lowDown, &Ui::lowUp, &Ui::highDown, &Ui::highUp,
                                     &Ui::setRoi, &Ui::deletePoint, &Ui::allData, &Ui::roiStats})
        press(button);
    EXPECT_TRUE(prompts_.questions().empty());
    EXPECT_EQ(text(&Ui::roiMin), "1");
    EXPECT_EQ(text(&Ui::roiMax), "0");
}

TEST_F(RoiTest, HeaderLinesAreAddedEvenWhenEmptyAndTheSelectedOneDeleted) {
    openPoints(3);
    window_->ui().headerEdit->setText("swipe of bench 7");
    window_->ui().addHeader->click();
    EXPECT_EQ(text(&Ui::headerEdit), "");
    window_->ui().addHeader->click();
    const QStringList expected = {"first line", "second line", "swipe of bench 7", ""};
    EXPECT_EQ(items(&Ui::headerList), expected);
    ASSERT_EQ(window_->slot(kViewerSlot).data->headerLineCount(), 4u);

    // Without a selection "Del" does nothing; with one it removes exactly that line.
    window_->ui().delHeader->click();
    EXPECT_EQ(items(&Ui::headerList), expected);
    auto* list = window_->ui().headerList;
    list->setCurrentRow(1);
    window_->ui().delHeader->click();
    const QStringList remaining = {"first line", "swipe of bench 7", ""};
    EXPECT_EQ(items(&Ui::headerList), remaining);
    const auto lines = window_->slot(kViewerSlot).data->headerLines();
    EXPECT_EQ(lines, (std::vector<std::string>{"first line", "swipe of bench 7", ""}));
}

TEST_F(RoiTest, ASlotWithoutARecordIgnoresEveryEditingButton) {
    open();
    choose(res::Command::Counter1); // DEMO, no record
    window_->ui().headerEdit->setText("nothing to add to");
    window_->ui().deletePointEdit->setText("1");
    for (QPushButton* Ui::*button : {&Ui::lowDown, &Ui::highUp, &Ui::setRoi, &Ui::deletePoint,
                                     &Ui::addHeader, &Ui::delHeader, &Ui::allData, &Ui::roiStats})
        press(button);
    EXPECT_TRUE(prompts_.questions().empty());
    EXPECT_EQ(window_->slot(1).data, nullptr);
    EXPECT_EQ(text(&Ui::headerEdit), "nothing to add to");
}

} // namespace
