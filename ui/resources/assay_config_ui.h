#pragma once

class QLineEdit;
class QPushButton;

namespace nivra::ui {

// The controls of the assay configuration dialog that its code works with.
struct AssayConfigUi {
    QLineEdit* name = nullptr;
    QLineEdit* dwellHours = nullptr;
    QLineEdit* dwellMinutes = nullptr;
    QLineEdit* dwellSeconds = nullptr;
    QLineEdit* totalHours = nullptr;
    QLineEdit* totalMinutes = nullptr;
    QLineEdit* totalSeconds = nullptr;
    QLineEdit* sampleArea = nullptr;
    QLineEdit* backgroundHours = nullptr;
    QLineEdit* backgroundRate = nullptr;
    QPushButton* load = nullptr;
    QPushButton* save = nullptr;
    QPushButton* saveAsDefault = nullptr;
    QPushButton* close = nullptr;
};

} // namespace nivra::ui
