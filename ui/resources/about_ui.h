#pragma once

class QLabel;
class QPushButton;

namespace nivra::ui {

// The controls of the About box that its code works with.
struct AboutUi {
    QLabel* version = nullptr; // the main window's title, filled in by the opener
    QPushButton* ok = nullptr;
};

} // namespace nivra::ui
