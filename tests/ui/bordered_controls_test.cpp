#include "ui/controls/edit_with_border.h"
#include "ui/controls/list_box_with_border.h"

#include <QImage>
#include <gtest/gtest.h>

using nivra::ui::EditWithBorder;
using nivra::ui::ListBoxWithBorder;

namespace {

// Whether every pixel of the outermost ring of the widget's picture is black.
bool framedInBlack(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const int w = image.width(), h = image.height();
    for (int x = 0; x < w; ++x)
        if (image.pixelColor(x, 0) != Qt::black || image.pixelColor(x, h - 1) != Qt::black)
            return false;
    for (int y = 0; y < h; ++y)
        if (image.pixelColor(0, y) != Qt::black || image.pixelColor(w - 1, y) != Qt::black)
            return false;
    return true;
}

TEST(BorderedEdit, HasAOnePixelBlackFrameInEveryState) {
    EditWithBorder edit;
    edit.resize(80, 20);
    edit.setText(QStringLiteral("Counter 3"));
    EXPECT_TRUE(framedInBlack(edit));
    EXPECT_NE(edit.grab().toImage().pixelColor(1, 10), QColor(Qt::black));
    edit.setReadOnly(true);
    EXPECT_TRUE(framedInBlack(edit));
    edit.setEnabled(false);
    EXPECT_TRUE(framedInBlack(edit));
    edit.resize(150, 30); // the frame follows the size
    EXPECT_TRUE(framedInBlack(edit));
}

TEST(BorderedListBox, HasAOnePixelBlackFrameAlsoWithAScrollBar) {
    ListBoxWithBorder list;
    list.resize(80, 60);
    EXPECT_TRUE(framedInBlack(list));
    for (int i = 0; i < 50; ++i)
        list.addItem(QString::number(i));
    list.show();
    EXPECT_TRUE(framedInBlack(list));
    EXPECT_EQ(list.count(), 50);
}

} // namespace
