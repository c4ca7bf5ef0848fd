#pragma once

#include <QListWidget>

namespace nivra::ui {

// A list box drawn with a thin black frame instead of the style's sunken edge. Items, selection,
// scrolling and signals are those of QListWidget. The frame occupies the outer pixel on every
// side; the scroll bar lies inside it.
class ListBoxWithBorder : public QListWidget {
    Q_OBJECT
public:
    explicit ListBoxWithBorder(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};

} // namespace nivra::ui
