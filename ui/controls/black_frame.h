#pragma once

#include <QPainter>
#include <QWidget>

namespace nivra::ui {

// Draws a one-pixel black frame along the four sides of the widget, over whatever the widget
// painted there. Call it at the end of the widget's own painting.
inline void paintBlackFrame(QWidget& widget) {
    QPainter painter(&widget);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(widget.rect().adjusted(0, 0, -1, -1));
}

} // namespace nivra::ui
