#pragma once

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace nivra::ui {

// The controls of the counter configuration dialog that its code works with.
struct CounterConfigUi {
    QLineEdit* name = nullptr;
    QLineEdit* description = nullptr;
    QLineEdit* detectorArea = nullptr;
    QLineEdit* detectorEfficiency = nullptr;
    QGroupBox* counterGroup = nullptr; // its title names the slot
    QPushButton* load = nullptr;
    QPushButton* save = nullptr;
    QPushButton* saveAsDefault = nullptr;
    QPushButton* close = nullptr;
};

} // namespace nivra::ui
