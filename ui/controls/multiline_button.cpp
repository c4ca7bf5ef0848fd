#include "ui/controls/multiline_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace nivra::ui {

QRect MultilineButton::captionRect() const {
    // One pixel inside the bevel on each side: the caption gets all the room the button has.
    return rect().adjusted(2, 1, -2, -1);
}

void MultilineButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionRect(), Qt::AlignCenter | Qt::TextWordWrap, text());
}

} // namespace nivra::ui
