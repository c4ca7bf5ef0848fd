#include "ui/controls/range_slider.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using nivra::test::SendKey;
using nivra::test::SendMouse;

namespace {

using Notes = std::vector<std::pair<int, int>>;

// A slider 230 x 20 pixels: thumbs 15 wide, track 200. Full range 1 to 10, selection 3 to 7:
// p(3) = 44, p(7) = 133, so the low thumb's hit area is 45..57 and the high thumb's 149..161.
class RangeSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider.resize(230, 20);
        slider.SetFullRange(1.0, 10.0);
        slider.SetSelection(3.0, 7.0);
        QObject::connect(&slider, &CRangeSlider::rangeChanged,
                         [this](CRangeSlider::Part part, bool finished) {
                             notes.emplace_back(static_cast<int>(part), finished ? 1 : 0);
                         });
        Paint();
    }

    void Paint() { (void)slider.grab(); }
    std::pair<double, double> Selection() const {
        double low = 0, high = 0;
        slider.GetSelection(low, high);
        return {low, high};
    }
    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        SendMouse(&slider, QEvent::MouseButtonPress, p, button, button);
    }
    void MoveTo(QPoint p) {
        SendMouse(&slider, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
    }
    void Release(QPoint p) {
        SendMouse(&slider, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        SendKey(&slider, QEvent::KeyPress, key, modifiers);
    }

    CRangeSlider slider;
    Notes notes;
};

TEST_F(RangeSliderTest, LayoutFollowsTheHeightAndTheSelection) {
    EXPECT_EQ(slider.ThumbWidth(), 15);
    EXPECT_EQ(slider.TrackWidth(), 200);
    EXPECT_EQ(slider.LowThumbRect(), (CRangeSlider::Rect{45, 1, 57, 18}));
    EXPECT_EQ(slider.HighThumbRect(), (CRangeSlider::Rect{149, 1, 161, 18}));

    slider.resize(330, 20);
    Paint();
    EXPECT_EQ(slider.TrackWidth(), 300);
}

TEST_F(RangeSliderTest, LowThumbFollowsThePointerAndStopsAtTheHighEdgeAndTheRangeStart) {
    Press({51, 9}); // the thumb's centre: no offset
    ASSERT_TRUE(slider.IsDragging());
    MoveTo({107, 9}); // 1 + (107 - 7) / 200 * 9
    EXPECT_DOUBLE_EQ(Selection().first, 5.5);
    MoveTo({400, 9});
    EXPECT_EQ(Selection(), std::make_pair(7.0, 7.0));
    MoveTo({-50, 9});
    EXPECT_EQ(Selection(), std::make_pair(1.0, 7.0));
    Release({-50, 9});
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_EQ(notes, (Notes{{0, 0}, {0, 0}, {0, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, HighThumbReportsWhetherAMoveChangedTheHighEdge) {
    Press({158, 12});  // centre (155, 9): offset (3, 3)
    MoveTo({225, 12}); // x = 222: 1 + (222 - 22) / 200 * 9 = 10
    EXPECT_DOUBLE_EQ(Selection().second, 10.0);
    MoveTo({300, 12});  // beyond the range: stays at 10
    MoveTo({-100, 12}); // below the low edge: stops there
    Release({-100, 12});
    EXPECT_EQ(Selection(), std::make_pair(3.0, 3.0));
    EXPECT_EQ(notes, (Notes{{1, 0}, {0, 0}, {1, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, BarKeepsItsWidthAgainstEitherEnd) {
    Press({100, 10}); // bar 58..147: centre 103, offset -3
    MoveTo({1000, 10});
    EXPECT_EQ(Selection(), std::make_pair(6.0, 10.0));
    MoveTo({-1000, 10});
    EXPECT_EQ(Selection(), std::make_pair(1.0, 5.0));
    MoveTo({100, 10}); // x = 103: centre 1 + 88 / 200 * 9 = 4.96
    EXPECT_DOUBLE_EQ(Selection().first, 4.96 - 2.0);
    EXPECT_DOUBLE_EQ(Selection().second - Selection().first, 4.0);
    Release({100, 10});
    EXPECT_EQ(notes, (Notes{{2, 0}, {2, 0}, {2, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, ReleaseReportsTheEndEvenWithoutAMove) {
    Press({51, 9});
    Release({51, 9});
    EXPECT_EQ(notes, (Notes{{1, 1}}));
    EXPECT_EQ(Selection(), std::make_pair(3.0, 7.0));
}

TEST_F(RangeSliderTest, PressOutsideThumbsAndBarStartsNothing) {
    Press({10, 9});
    EXPECT_FALSE(slider.IsDragging());
    MoveTo({100, 9});
    Release({100, 9});
    EXPECT_TRUE(notes.empty());

    // The second press of a double click starts no drag either.
    SendMouse(&slider, QEvent::MouseButtonDblClick, {51, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.IsDragging());
}

TEST_F(RangeSliderTest, RightClickSelectsEverything) {
    Press({100, 10}, Qt::RightButton);
    EXPECT_EQ(Selection(), std::make_pair(1.0, 10.0));
    EXPECT_EQ(notes, (Notes{{2, 1}}));
    EXPECT_FALSE(slider.IsDragging());
}

TEST_F(RangeSliderTest, ArrowsMoveTheSelectionByOnePixelsWorth) {
    const double step = 9.0 / 200.0; // 3 lies at step 44, 7 at step 133
    Key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(Selection().first, 1.0 + 45 * step);
    EXPECT_DOUBLE_EQ(Selection().second, 1.0 + 134 * step);
    Key(Qt::Key_Right, Qt::ShiftModifier); // grows
    EXPECT_DOUBLE_EQ(Selection().first, 1.0 + 45 * step);
    EXPECT_DOUBLE_EQ(Selection().second, 1.0 + 135 * step);
    EXPECT_EQ(notes, (Notes{{2, 0}, {0, 0}}));
}

TEST_F(RangeSliderTest, ShiftLeftShrinksUntilTheEdgesMeet) {
    for (int i = 0; i < 100; ++i)
        Key(Qt::Key_Left, Qt::ShiftModifier);
    const auto [low, high] = Selection();
    EXPECT_DOUBLE_EQ(low, 1.0 + 44 * (9.0 / 200.0));
    EXPECT_DOUBLE_EQ(high, low);
    EXPECT_EQ(notes, Notes(100, {0, 0}));
}

TEST_F(RangeSliderTest, LeftAtTheRangeStartMovesNothingButIsReported) {
    slider.SetSelection(1.0, 5.0);
    notes.clear();
    Key(Qt::Key_Left);
    EXPECT_EQ(Selection(), std::make_pair(1.0, 5.0));
    EXPECT_EQ(notes, (Notes{{2, 0}}));
}

TEST_F(RangeSliderTest, CtrlArrowsAndUpDownDoNothing) {
    Key(Qt::Key_Left, Qt::ControlModifier);
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    // The slider keeps all arrows so that a dialog does not move the focus with them.
    EXPECT_TRUE(SendKey(&slider, QEvent::KeyPress, Qt::Key_Up));
    EXPECT_TRUE(SendKey(&slider, QEvent::KeyPress, Qt::Key_Down));
    EXPECT_EQ(Selection(), std::make_pair(3.0, 7.0));
    EXPECT_TRUE(notes.empty());
}

TEST_F(RangeSliderTest, RangeAndSelectionAreClampedWithTheirNotifications) {
    slider.SetFullRange(5.0, 1.0);
    EXPECT_EQ(slider.RangeMin(), 1.0);
    EXPECT_EQ(slider.RangeMax(), 5.0);
    EXPECT_EQ(Selection(), std::make_pair(3.0, 5.0));
    EXPECT_EQ(notes, (Notes{{1, 0}}));

    notes.clear();
    slider.SetFullRange(1.0, 10.0);
    slider.SetSelection(0.0, 20.0);
    EXPECT_EQ(Selection(), std::make_pair(1.0, 10.0));
    EXPECT_EQ(notes, (Notes{{0, 0}, {1, 0}}));

    // Entirely below the range: both edges end at the range start.
    notes.clear();
    slider.SetSelection(-5.0, -2.0);
    EXPECT_EQ(Selection(), std::make_pair(1.0, 1.0));
    EXPECT_EQ(notes, (Notes{{0, 0}, {1, 0}}));

    // An inverted selection inside the range is left alone.
    notes.clear();
    slider.SetSelection(6.0, 4.0);
    EXPECT_EQ(Selection(), std::make_pair(6.0, 4.0));
    EXPECT_TRUE(notes.empty());
    Paint(); // and can be painted
}

TEST(RangeSliderLayout, NothingMovesBeforeTheFirstPaint) {
    CRangeSlider slider;
    slider.resize(230, 20);
    slider.SetFullRange(1.0, 10.0);
    slider.SetSelection(3.0, 7.0);
    Notes notes;
    QObject::connect(&slider, &CRangeSlider::rangeChanged,
                     [&](CRangeSlider::Part part, bool finished) {
                         notes.emplace_back(static_cast<int>(part), finished ? 1 : 0);
                     });
    SendMouse(&slider, QEvent::MouseButtonPress, {51, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.IsDragging());
    SendKey(&slider, QEvent::KeyPress, Qt::Key_Right);
    double low = 0, high = 0;
    slider.GetSelection(low, high);
    EXPECT_EQ(low, 3.0);
    EXPECT_EQ(high, 7.0);
    EXPECT_EQ(notes, (Notes{{2, 0}}));
}

TEST(RangeSliderLayout, ARangeWithoutWidthPaintsAndOffersNothingToDrag) {
    CRangeSlider slider;
    slider.resize(230, 20);
    slider.SetFullRange(1.0, 1.0);
    (void)slider.grab();
    EXPECT_EQ(slider.LowThumbRect(), CRangeSlider::Rect{});
    SendMouse(&slider, QEvent::MouseButtonPress, {5, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.IsDragging());
    SendKey(&slider, QEvent::KeyPress, Qt::Key_Right); // step 0: nothing at all
    double low = 0, high = 0;
    slider.GetSelection(low, high);
    EXPECT_EQ(low, 1.0);
    EXPECT_EQ(high, 1.0);
}

TEST(RangeSliderPaint, SelectionIsWhiteBetweenThumbsOnGray) {
    CRangeSlider slider;
    slider.resize(230, 20);
    slider.SetFullRange(1.0, 10.0);
    slider.SetSelection(3.0, 7.0);
    const QImage image = slider.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(20, 10), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(200, 10), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)); // the outline
}

} // namespace
