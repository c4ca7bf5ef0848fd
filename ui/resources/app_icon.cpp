#include "ui/resources/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace nivra::res {

QPixmap appIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // The chamber: a dark blue rounded square.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 48, 110));
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1.0, s - 1.0), s * 0.18, s * 0.18);

    // The detector: a pale disc near the bottom.
    p.setBrush(QColor(210, 225, 245));
    p.drawEllipse(QRectF(s * 0.18, s * 0.58, s * 0.64, s * 0.28));

    // The source: a warm dot, and three tracks leaving it upward.
    const QPointF source(s * 0.5, s * 0.70);
    QPen track(QColor(255, 200, 60), qMax<qreal>(1.0, s / 16.0), Qt::SolidLine, Qt::RoundCap);
    p.setPen(track);
    p.drawLine(source, QPointF(s * 0.22, s * 0.18));
    p.drawLine(source, QPointF(s * 0.50, s * 0.12));
    p.drawLine(source, QPointF(s * 0.78, s * 0.18));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 80, 40));
    p.drawEllipse(source, s * 0.09, s * 0.09);
    return pixmap;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(appIconPixmap(size));
    return icon;
}

} // namespace nivra::res
