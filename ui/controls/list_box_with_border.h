#pragma once

#include <QListWidget>

// A list box drawn with a thin black frame instead of the style's sunken edge. Items, selection,
// scrolling and signals are those of QListWidget. The frame occupies the outer pixel on every
// side; the scroll bar lies inside it.
class CListBoxWithBorder : public QListWidget {
    Q_OBJECT
public:
    explicit CListBoxWithBorder(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};
