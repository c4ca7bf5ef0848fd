#pragma once

#include <QLineEdit>

namespace nivra::ui {

// A one-line edit drawn with a thin black frame instead of the style's sunken panel. Text,
// selection, scrolling and signals are those of QLineEdit; read-only and disabled edits get the
// same frame. The frame is one pixel wide and the text keeps one pixel clear of it.
class EditWithBorder : public QLineEdit {
    Q_OBJECT
public:
    explicit EditWithBorder(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nivra::ui
