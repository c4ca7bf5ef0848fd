#include "ui/controls/range_slider.h"

#include "ui/controls/saturating_int.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <limits>
#include <utility>

namespace nivra::ui {

namespace {

// A filled rectangle with exclusive right and bottom edges. With an outline, the outline is the
// outermost pixel ring of the area; without one, the filled area is one pixel narrower and lower,
// the way the window system's rectangle primitive draws with a null pen.
void drawBox(QPainter& p, int left, int top, int right, int bottom, const QBrush& brush,
             bool outline) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (outline) {
        if (right - left < 1 || bottom - top < 1)
            return;
        p.fillRect(QRect(left, top, right - left, bottom - top), brush);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    } else if (right - left > 1 && bottom - top > 1) {
        p.fillRect(QRect(left, top, right - left - 1, bottom - top - 1), brush);
    }
}

// A horizontal or vertical line from a towards b, b itself not drawn.
void drawLineTo(QPainter& p, QPoint a, QPoint b) {
    if (a == b)
        return;
    QPoint last = b;
    if (a.x() == b.x())
        last.ry() += b.y() > a.y() ? -1 : 1;
    else
        last.rx() += b.x() > a.x() ? -1 : 1;
    p.drawLine(a, last);
}

// The raised edge of an undragged thumb: light on the left and top, dark on the right and bottom.
void drawRaisedEdge(QPainter& p, const RangeSlider::Rect& r, const QPalette& palette) {
    const QPoint leftBottom(r.left, r.bottom), leftTop(r.left, r.top);
    const QPoint rightTop(r.right, r.top), rightBottom(r.right, r.bottom);
    p.setPen(QPen(palette.color(QPalette::Light), 0));
    drawLineTo(p, leftBottom, leftTop);
    drawLineTo(p, leftTop, rightTop);
    p.setPen(QPen(palette.color(QPalette::Dark), 0));
    drawLineTo(p, rightTop, rightBottom);
    drawLineTo(p, rightBottom, leftBottom);
}

void drawTriangle(QPainter& p, QPoint a, QPoint b, QPoint c) {
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({a, b, c}));
}

} // namespace

RangeSlider::RangeSlider(QWidget* parent) : QWidget(parent) {
    // The keyboard focus comes by Tab and by a left click (taken in mousePressEvent), not by the
    // right button.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RangeSlider::setFullRange(double a, double b) {
    if (a > b)
        std::swap(a, b);
    rangeMin_ = a;
    rangeMax_ = b;
    clampSelection();
    update();
}

void RangeSlider::setSelection(double low, double high) {
    selLow_ = low;
    selHigh_ = high;
    clampSelection();
    update();
}

void RangeSlider::getSelection(double& low, double& high) const {
    low = selLow_;
    high = selHigh_;
}

void RangeSlider::clampSelection() {
    if (rangeMin_ > selLow_) {
        selLow_ = rangeMin_;
        notify(Part::Low, false);
        if (selLow_ > selHigh_) {
            selHigh_ = selLow_;
            notify(Part::High, false);
        }
    }
    if (rangeMax_ < selHigh_) {
        selHigh_ = rangeMax_;
        notify(Part::High, false);
        if (selHigh_ < selLow_) {
            selLow_ = selHigh_;
            notify(Part::Low, false);
        }
    }
}

bool RangeSlider::pixelOf(double value, int& pixel) const {
    const double width = rangeMax_ - rangeMin_;
    if (!(width > 0.0))
        return false;
    const double position = (value - rangeMin_) / width * trackWidth_ + 0.5;
    if (!std::isfinite(position))
        return false;
    pixel = nivra::ui::truncToInt(position);
    return true;
}

void RangeSlider::paintEvent(QPaintEvent* event) {
    const int h = height();
    const int w = (3 * h) / 4;
    thumbWidth_ = w;
    trackWidth_ = width() - 2 * w;

    QPainter p(this);
    const QRect clip = event->rect();
    drawBox(p, clip.left(), clip.top(), clip.left() + clip.width(), clip.top() + clip.height(),
            QColor(128, 128, 128), true);

    int xa = 0, xb = 0;
    if (!pixelOf(selLow_, xa) || !pixelOf(selHigh_, xb)) {
        // A full range without width has no positions: the gray background alone, and no thumb
        // to hit.
        lowThumbRect_ = {};
        highThumbRect_ = {};
        return;
    }

    const QBrush face = palette().color(QPalette::Button);

    drawBox(p, xa, 0, xa + w, h, face, true);
    lowThumbRect_ = {xa + 1, 1, xa + w - 2, h - 2};
    if (!(dragging_ && dragPart_ == kLowThumb))
        drawRaisedEdge(p, lowThumbRect_, palette());
    drawTriangle(p, {xa + w / 3, h / 3}, {xa + w / 3, (2 * h) / 3}, {xa + (2 * w) / 3, h / 2});

    drawBox(p, xb + w, 0, xb + 2 * w, h, face, true);
    highThumbRect_ = {xb + w + 1, 1, xb + 2 * w - 2, h - 2};
    if (!(dragging_ && dragPart_ == kHighThumb))
        drawRaisedEdge(p, highThumbRect_, palette());
    drawTriangle(p, {xb + w + (2 * w) / 3, h / 3}, {xb + w + (2 * w) / 3, (2 * h) / 3},
                 {xb + w + w / 3, h / 2});

    // The selected interval between the thumbs is white.
    const int barLeft = xa + w + 1, barRight = xb + w;
    if (barRight > barLeft)
        drawBox(p, barLeft, 1, barRight, h - 1, Qt::white, false);

    if (hasFocus() && barRight - 3 > barLeft + 3) {
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(barLeft + 3, 4, (barRight - 3) - (barLeft + 3) - 1, (h - 4) - 4 - 1));
    }
}

void RangeSlider::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        selLow_ = rangeMin_;
        selHigh_ = rangeMax_;
        clampSelection();
        update();
        notify(Part::Both, true);
        update();
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    update();
    event->accept();
    if (dragging_)
        return;

    const Rect bar{lowThumbRect_.right + 1, 0, highThumbRect_.left - 1, height()};
    const Rect* hit = nullptr;
    if (lowThumbRect_.contains(point)) {
        dragPart_ = kLowThumb;
        hit = &lowThumbRect_;
    } else if (highThumbRect_.contains(point)) {
        dragPart_ = kHighThumb;
        hit = &highThumbRect_;
    } else if (bar.contains(point)) {
        dragPart_ = kBar;
        hit = &bar;
    }
    if (!hit)
        return;
    dragging_ = true;
    dragOffset_ = point - QPoint((hit->left + hit->right) / 2, (hit->top + hit->bottom) / 2);
}

void RangeSlider::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click starts nothing: no drag, no select-all.
    event->accept();
}

void RangeSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    moveDrag(event->position().toPoint().x() - dragOffset_.x());
    event->accept();
}

void RangeSlider::moveDrag(int x) {
    const int w = thumbWidth_;
    const double r = rangeMax_ - rangeMin_;
    // A track without width has no positions to follow; the selection stays.
    const bool canMove = trackWidth_ > 0;
    const double track = trackWidth_;
    Part part = dragPart_ == kLowThumb ? Part::Low : Part::Both;

    switch (dragPart_) {
    case kLowThumb:
        if (canMove) {
            selLow_ = rangeMin_ + (x - w / 2) / track * r;
            if (selLow_ >= selHigh_)
                selLow_ = selHigh_;
            if (selLow_ <= rangeMin_)
                selLow_ = rangeMin_;
        }
        break;
    case kHighThumb: {
        const double before = selHigh_;
        if (canMove) {
            selHigh_ = rangeMin_ + (x - (3 * w) / 2) / track * r;
            if (selHigh_ <= selLow_)
                selHigh_ = selLow_;
            if (selHigh_ >= rangeMax_)
                selHigh_ = rangeMax_;
        }
        part = selHigh_ != before ? Part::High : Part::Low;
        break;
    }
    default:
        if (canMove) {
            const double d = selHigh_ - selLow_;
            const double c = rangeMin_ + (x - w) / track * r;
            selLow_ = c - d / 2;
            selHigh_ = c + d / 2;
            if (selLow_ <= rangeMin_) {
                selLow_ = rangeMin_;
                selHigh_ = rangeMin_ + d;
            }
            if (selHigh_ >= rangeMax_) {
                selHigh_ = rangeMax_;
                selLow_ = rangeMax_ - d;
            }
        }
        break;
    }
    notify(part, false);
    update();
}

void RangeSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    notify(Part::High, true);
    update();
    event->accept();
}

void RangeSlider::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The slider keeps all four arrow keys, so a dialog never moves the focus with them; only
    // Left and Right without Ctrl move the selection.
    event->accept();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) &&
        !(event->modifiers() & Qt::ControlModifier))
        moveByKey(key == Qt::Key_Right, event->modifiers() & Qt::ShiftModifier);
}

void RangeSlider::moveByKey(bool right, bool shift) {
    const double step = (rangeMax_ - rangeMin_) / trackWidth_;
    if (step == 0.0)
        return;
    // Before the first paint (no track) the step has no finite size: nothing can move, but the
    // key is still reported.
    if (std::isfinite(step)) {
        int pl = nivra::ui::truncToInt((selLow_ - rangeMin_) / step + 0.5);
        int ph = nivra::ui::truncToInt((selHigh_ - rangeMin_) / step + 0.5);
        const int delta = right ? 1 : -1;
        if (!shift && pl != std::numeric_limits<int>::min() &&
            pl != std::numeric_limits<int>::max())
            pl += delta;
        if (ph != std::numeric_limits<int>::min() && ph != std::numeric_limits<int>::max())
            ph += delta;
        if (pl >= 0 && ph <= trackWidth_ && pl <= ph) {
            selLow_ = rangeMin_ + pl * step;
            selHigh_ = rangeMin_ + ph * step;
        }
    }
    notify(shift ? Part::Low : Part::Both, false);
    update();
}

void RangeSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void RangeSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace nivra::ui
