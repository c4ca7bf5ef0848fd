#include "ui/controls/range_slider.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using nivra::ui::RangeSlider;

using nivra::test::sendKey;
using nivra::test::sendMouse;

namespace {

using Notes = std::vector<std::pair<int, int>>;

// A slider 230 x 20 pixels: thumbs 15 wide, track 200. Full range 1 to 10, selection 3 to 7:
// p(3) = 44, p(7) = 133, so the low thumb's hit area is 45..57 and the high thumb's 149..161.
class RangeSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider.resize(230, 20);
        slider.setFullRange(1.0, 10.0);
        slider.setSelection(3.0, 7.0);
        QObject::connect(&slider, &RangeSlider::rangeChanged,
                         [this](RangeSlider::Part part, bool finished) {
                             notes.emplace_back(static_cast<int>(part), finished ? 1 : 0);
                         });
        paint();
    }

    void paint() { (void)slider.grab(); }
    std::pair<double, double> selection() const {
        double low = 0, high = 0;
        slider.getSelection(low, high);
        return {low, high};
    }
    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        sendMouse(&slider, QEvent::MouseButtonPress, p, button, button);
    }
    void moveTo(QPoint p) {
        sendMouse(&slider, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
    }
    void release(QPoint p) {
        sendMouse(&slider, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        sendKey(&slider, QEvent::KeyPress, key, modifiers);
    }

    RangeSlider slider;
    Notes notes;
};

TEST_F(RangeSliderTest, LayoutFollowsTheHeightAndTheSelection) {
    EXPECT_EQ(slider.thumbWidth(), 15);
    EXPECT_EQ(slider.trackWidth(), 200);
    EXPECT_EQ(slider.lowThumbRect(), (RangeSlider::Rect{45, 1, 57, 18}));
    EXPECT_EQ(slider.highThumbRect(), (RangeSlider::Rect{149, 1, 161, 18}));

    slider.resize(330, 20);
    paint();
    EXPECT_EQ(slider.trackWidth(), 300);
}

TEST_F(RangeSliderTest, LowThumbFollowsThePointerAndStopsAtTheHighEdgeAndTheRangeStart) {
    press({51, 9}); // the thumb's centre: no offset
    ASSERT_TRUE(slider.isDragging());
    moveTo({107, 9}); // 1 + (107 - 7) / 200 * 9
    EXPECT_DOUBLE_EQ(selection().first, 5.5);
    moveTo({400, 9});
    EXPECT_EQ(selection(), std::make_pair(7.0, 7.0));
    moveTo({-50, 9});
    EXPECT_EQ(selection(), std::make_pair(1.0, 7.0));
    release({-50, 9});
    EXPECT_FALSE(slider.isDragging());
    EXPECT_EQ(notes, (Notes{{0, 0}, {0, 0}, {0, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, HighThumbReportsWhetherAMoveChangedTheHighEdge) {
    press({158, 12});  // centre (155, 9): offset (3, 3)
    moveTo({225, 12}); // x = 222: 1 + (222 - 22) / 200 * 9 = 10
    EXPECT_DOUBLE_EQ(selection().second, 10.0);
    moveTo({300, 12});  // beyond the range: stays at 10
    moveTo({-100, 12}); // below the low edge: stops there
    release({-100, 12});
    EXPECT_EQ(selection(), std::make_pair(3.0, 3.0));
    EXPECT_EQ(notes, (Notes{{1, 0}, {0, 0}, {1, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, BarKeepsItsWidthAgainstEitherEnd) {
    press({100, 10}); // bar 58..147: centre 103, offset -3
    moveTo({1000, 10});
    EXPECT_EQ(selection(), std::make_pair(6.0, 10.0));
    moveTo({-1000, 10});
    EXPECT_EQ(selection(), std::make_pair(1.0, 5.0));
    moveTo({100, 10}); // x = 103: centre 1 + 88 / 200 * 9 = 4.96
    EXPECT_DOUBLE_EQ(selection().first, 4.96 - 2.0);
    EXPECT_DOUBLE_EQ(selection().second - selection().first, 4.0);
    release({100, 10});
    EXPECT_EQ(notes, (Notes{{2, 0}, {2, 0}, {2, 0}, {1, 1}}));
}

TEST_F(RangeSliderTest, ReleaseReportsTheEndEvenWithoutAMove) {
    press({51, 9});
    release({51, 9});
    EXPECT_EQ(notes, (Notes{{1, 1}}));
    EXPECT_EQ(selection(), std::make_pair(3.0, 7.0));
}

TEST_F(RangeSliderTest, PressOutsideThumbsAndBarStartsNothing) {
    press({10, 9});
    EXPECT_FALSE(slider.isDragging());
    moveTo({100, 9});
    release({100, 9});
    EXPECT_TRUE(notes.empty());

    // The second press of a double click starts no drag either.
    sendMouse(&slider, QEvent::MouseButtonDblClick, {51, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.isDragging());
}

TEST_F(RangeSliderTest, RightClickSelectsEverything) {
    press({100, 10}, Qt::RightButton);
    EXPECT_EQ(selection(), std::make_pair(1.0, 10.0));
    EXPECT_EQ(notes, (Notes{{2, 1}}));
    EXPECT_FALSE(slider.isDragging());
}

TEST_F(RangeSliderTest, ArrowsMoveTheSelectionByOnePixelsWorth) {
    const double step = 9.0 / 200.0; // 3 lies at step 44, 7 at step 133
    key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(selection().first, 1.0 + 45 * step);
    EXPECT_DOUBLE_EQ(selection().second, 1.0 + 134 * step);
    key(Qt::Key_Right, Qt::ShiftModifier); // grows
    EXPECT_DOUBLE_EQ(selection().first, 1.0 + 45 * step);
    EXPECT_DOUBLE_EQ(selection().second, 1.0 + 135 * step);
    EXPECT_EQ(notes, (Notes{{2, 0}, {0, 0}}));
}

TEST_F(RangeSliderTest, ShiftLeftShrinksUntilTheEdgesMeet) {
    for (int i = 0; i < 100; ++i)
        key(Qt::Key_Left, Qt::ShiftModifier);
    const auto [low, high] = selection();
    EXPECT_DOUBLE_EQ(low, 1.0 + 44 * (9.0 / 200.0));
    EXPECT_DOUBLE_EQ(high, low);
    EXPECT_EQ(notes, Notes(100, {0, 0}));
}

TEST_F(RangeSliderTest, LeftAtTheRangeStartMovesNothingButIsReported) {
    slider.setSelection(1.0, 5.0);
    notes.clear();
    key(Qt::Key_Left);
    EXPECT_EQ(selection(), std::make_pair(1.0, 5.0));
    EXPECT_EQ(notes, (Notes{{2, 0}}));
}

TEST_F(RangeSliderTest, CtrlArrowsAndUpDownDoNothing) {
    key(Qt::Key_Left, Qt::ControlModifier);
    key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    // The slider keeps all arrows so that a dialog does not move the focus with them.
    EXPECT_TRUE(sendKey(&slider, QEvent::KeyPress, Qt::Key_Up));
    EXPECT_TRUE(sendKey(&slider, QEvent::KeyPress, Qt::Key_Down));
    EXPECT_EQ(selection(), std::make_pair(3.0, 7.0));
    EXPECT_TRUE(notes.empty());
}

TEST_F(RangeSliderTest, RangeAndSelectionAreClampedWithTheirNotifications) {
    slider.setFullRange(5.0, 1.0);
    EXPECT_EQ(slider.rangeMin(), 1.0);
    EXPECT_EQ(slider.rangeMax(), 5.0);
    EXPECT_EQ(selection(), std::make_pair(3.0, 5.0));
    EXPECT_EQ(notes, (Notes{{1, 0}}));

    notes.clear();
    slider.setFullRange(1.0, 10.0);
    slider.setSelection(0.0, 20.0);
    EXPECT_EQ(selection(), std::make_pair(1.0, 10.0));
    EXPECT_EQ(notes, (Notes{{0, 0}, {1, 0}}));

    // Entirely below the range: both edges end at the range start.
    notes.clear();
    slider.setSelection(-5.0, -2.0);
    EXPECT_EQ(selection(), std::make_pair(1.0, 1.0));
    EXPECT_EQ(notes, (Notes{{0, 0}, {1, 0}}));

    // An inverted selection inside the range is left alone.
    notes.clear();
    slider.setSelection(6.0, 4.0);
    EXPECT_EQ(selection(), std::make_pair(6.0, 4.0));
    EXPECT_TRUE(notes.empty());
    paint(); // and can be painted
}

TEST(RangeSliderLayout, NothingMovesBeforeTheFirstPaint) {
    RangeSlider slider;
    slider.resize(230, 20);
    slider.setFullRange(1.0, 10.0);
    slider.setSelection(3.0, 7.0);
    Notes notes;
    QObject::connect(&slider, &RangeSlider::rangeChanged,
                     [&](RangeSlider::Part part, bool finished) {
                         notes.emplace_back(static_cast<int>(part), finished ? 1 : 0);
                     });
    sendMouse(&slider, QEvent::MouseButtonPress, {51, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.isDragging());
    sendKey(&slider, QEvent::KeyPress, Qt::Key_Right);
    double low = 0, high = 0;
    slider.getSelection(low, high);
    EXPECT_EQ(low, 3.0);
    EXPECT_EQ(high, 7.0);
    EXPECT_EQ(notes, (Notes{{2, 0}}));
}

TEST(RangeSliderLayout, ARangeWithoutWidthPaintsAndOffersNothingToDrag) {
    RangeSlider slider;
    slider.resize(230, 20);
    slider.setFullRange(1.0, 1.0);
    (void)slider.grab();
    EXPECT_EQ(slider.lowThumbRect(), RangeSlider::Rect{});
    sendMouse(&slider, QEvent::MouseButtonPress, {5, 9}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(slider.isDragging());
    sendKey(&slider, QEvent::KeyPress, Qt::Key_Right); // step 0: nothing at all
    double low = 0, high = 0;
    slider.getSelection(low, high);
    EXPECT_EQ(low, 1.0);
    EXPECT_EQ(high, 1.0);
}

TEST(RangeSliderPaint, SelectionIsWhiteBetweenThumbsOnGray) {
    RangeSlider slider;
    slider.resize(230, 20);
    slider.setFullRange(1.0, 10.0);
    slider.setSelection(3.0, 7.0);
    const QImage image = slider.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(20, 10), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(200, 10), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)); // the outline
}

} // namespace
