#pragma once

class QLineEdit;
class QPushButton;

namespace nivra::ui {

// The controls of the dialog before a run that its code works with.
struct RunConfigUi {
    QLineEdit* counterNumber = nullptr; // read-only
    QLineEdit* counterName = nullptr;
    QLineEdit* counterFile = nullptr;
    QPushButton* openCounter = nullptr;
    QLineEdit* assayName = nullptr;
    QLineEdit* assayFile = nullptr;
    QPushButton* openAssay = nullptr;
    QPushButton* start = nullptr;
    QPushButton* cancel = nullptr;
};

} // namespace nivra::ui
