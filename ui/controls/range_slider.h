#pragma once

#include <QPoint>
#include <QWidget>

namespace nivra::ui {

// A horizontal two-thumb slider: a full range of real numbers, of which the operator selects a
// closed interval by dragging either thumb or the bar between them, by a right click (select
// all) or with the arrow keys. The control draws itself completely and reports every change with
// the signal rangeChanged(part, finished):
//
//   event                                           part                            finished
//   clampSelection moved the low / the high edge    Low / High                      false
//   low thumb dragged (every mouse move)            Low                             false
//   high thumb dragged (every mouse move)           High if the move changed the    false
//                                                   high edge, else Low
//   bar dragged (every mouse move)                  Both                            false
//   left button released after a drag               High                            true
//   right button pressed (select all)               Both                            true
//   Left or Right arrow without / with Shift        Both / Low                      false
//
// finished is true when the operator has finished (button released or everything selected) and
// false while the selection may still be moving. The signal is emitted synchronously.
//
// Layout, set at every paint: with h the height and W the width, each thumb is 3h/4 pixels wide
// and the full range spans W - 2 * thumb width pixels. A value v lies at pixel
// p(v) = (v - min) / (max - min) * trackWidth + 0.5, truncated; the low thumb occupies
// [p(low), p(low) + thumb), the high thumb [p(high) + thumb, p(high) + 2 * thumb), so the thumbs
// never overlap. Before the first paint the layout is empty and no press or key can move the
// selection.
class RangeSlider : public QWidget {
    Q_OBJECT
public:
    // A rectangle with exclusive right and bottom edges, as the hit areas of the thumbs use them.
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool contains(QPoint p) const {
            return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
        }
        bool operator==(const Rect&) const = default;
    };

    // What a left-button drag moves.
    enum DragPart { kLowThumb = 0, kHighThumb = 1, kBar = 2 };

    explicit RangeSlider(QWidget* parent = nullptr);

    // Sets the full range (swapped when a > b), clamps the selection into it and repaints.
    void setFullRange(double a, double b);
    // Sets the selection as given (not swapped), clamps it into the full range and repaints.
    void setSelection(double low, double high);
    void getSelection(double& low, double& high) const;
    // Keeps the selection inside the full range, notifying each edge it moves. A selection with
    // low > high that lies inside the range is left as it is.
    void clampSelection();

    double rangeMin() const { return rangeMin_; }
    double rangeMax() const { return rangeMax_; }

    // The layout of the last paint.
    int thumbWidth() const { return thumbWidth_; }
    int trackWidth() const { return trackWidth_; }
    Rect lowThumbRect() const { return lowThumbRect_; }
    Rect highThumbRect() const { return highThumbRect_; }
    bool isDragging() const { return dragging_; }

    QSize sizeHint() const override { return {200, 20}; }

    // Which part of the selection a change reports (see the table above).
    enum class Part { Low = 0, High = 1, Both = 2 };

signals:
    void rangeChanged(RangeSlider::Part part, bool finished);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void notify(Part part, bool finished) { emit rangeChanged(part, finished); }
    // p(v) of the last layout; false when the range has no width or the result is not finite.
    bool pixelOf(double value, int& pixel) const;
    void moveDrag(int x);
    void moveByKey(bool right, bool shift);

    double rangeMin_ = 0.0;
    double rangeMax_ = 1.0;
    double selLow_ = 0.0;
    double selHigh_ = 1.0;
    int thumbWidth_ = 5;
    bool dragging_ = false;
    DragPart dragPart_ = kLowThumb;
    Rect lowThumbRect_;
    Rect highThumbRect_;
    int trackWidth_ = 0;
    QPoint dragOffset_;
};

} // namespace nivra::ui
