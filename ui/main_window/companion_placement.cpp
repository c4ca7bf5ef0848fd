#include "ui/main_window/companion_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace nivra::ui {

void makeTopLevel(QWidget& companion) {
    const bool visible = companion.isVisible();
    companion.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    if (visible)
        companion.show();
}

void placeClearOfMenuBar(QWidget& companion, const QWidget& menuBar) {
    constexpr int kOffset = 40;
    const QPoint barTopLeft = menuBar.mapToGlobal(QPoint(0, 0));
    const int barBottom = barTopLeft.y() + menuBar.height();
    QPoint place(barTopLeft.x() + kOffset, barBottom + kOffset);
    // The frame is not known before the first show: the companion's own size stands for it.
    const QSize size = companion.frameGeometry().size().expandedTo(companion.size());
    if (const QScreen* screen = menuBar.screen()) {
        const QRect room = screen->availableGeometry();
        place.setX(std::max(room.left(), std::min(place.x(), room.right() + 1 - size.width())));
        place.setY(std::max(barBottom + 1, std::min(place.y(), room.bottom() + 1 - size.height())));
    }
    companion.move(place);
}

} // namespace nivra::ui
