#pragma once

#include <string>

class QLineEdit;
class QListWidget;

namespace nivra::ui {

struct MainWindowUi;
class SlotModel;

// The header lines of the active slot's record: the list that shows them, the edit for a new
// line, and the "Add" and "Del" buttons, which it handles itself. The lines are added and
// removed through the slot model; the list is filled again when the model announces it.
class HeaderLines {
public:
    HeaderLines(const MainWindowUi& ui, SlotModel& model);
    // The list from the active slot's record; the operator's selection survives while its line
    // is still there.
    void fill();
    void clear();

private:
    void add();
    void removeSelected();

    SlotModel& slots_;
    QListWidget* list_;
    QLineEdit* edit_;
};

} // namespace nivra::ui
