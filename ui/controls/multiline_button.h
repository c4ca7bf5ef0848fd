#pragma once

#include <QPushButton>

namespace nivra::ui {

// A push button whose text wraps onto several lines when it does not fit on one, centred in the
// button, as a button made for a two-line caption ("Set ROI" in a square button) needs. text()
// stays the caption as given.
class MultilineButton : public QPushButton {
    Q_OBJECT
public:
    explicit MultilineButton(const QString& text, QWidget* parent = nullptr)
        : QPushButton(text, parent) {}

    // The rectangle the caption is drawn in.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nivra::ui
