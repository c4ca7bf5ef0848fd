#include "ui/controls/list_box_with_border.h"
#include "ui/controls/black_frame.h"

#include <QEvent>

namespace nivra::ui {

ListBoxWithBorder::ListBoxWithBorder(QWidget* parent) : QListWidget(parent) {
    // A plain one-pixel box reserves the edge; the paint below makes it black whatever the style.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

bool ListBoxWithBorder::event(QEvent* event) {
    // The scroll area paints its frame in its own paint event (the items are painted by the
    // viewport), so the black frame goes on top of that.
    const bool handled = QListWidget::event(event);
    if (event->type() == QEvent::Paint)
        nivra::ui::paintBlackFrame(*this);
    return handled;
}

} // namespace nivra::ui
