#include "ui/controls/edit_with_border.h"
#include "ui/controls/black_frame.h"

CEditWithBorder::CEditWithBorder(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(2, 1, 2, 1);
}

void CEditWithBorder::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    nivra::ui::PaintBlackFrame(*this);
}
