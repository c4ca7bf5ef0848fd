#include "ui/controls/edit_with_border.h"
#include "ui/controls/black_frame.h"

namespace nivra::ui {

EditWithBorder::EditWithBorder(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(2, 1, 2, 1);
}

void EditWithBorder::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    nivra::ui::paintBlackFrame(*this);
}

} // namespace nivra::ui
