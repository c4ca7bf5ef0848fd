#pragma once

#include <string>

class QLineEdit;
class QListWidget;

namespace nivra::ui {

struct MainWindowUi;
class SlotBoard;

// The header lines of the active slot's record: the list that shows them, the edit for a new
// line, and the "Add" and "Del" buttons, which it handles itself.
class HeaderLines {
public:
    HeaderLines(const MainWindowUi& ui, SlotBoard& board);
    // The list from the active slot's record; the operator's selection survives while its line
    // is still there.
    void fill();
    void clear();

private:
    void add();
    void removeSelected();

    SlotBoard& slots_;
    QListWidget* list_;
    QLineEdit* edit_;
};

} // namespace nivra::ui
