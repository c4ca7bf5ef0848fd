#pragma once

#include <string>

class QListWidget;

namespace nivra::ui {

class DataExchange;
class DialogBase;
class SlotBoard;

// The header lines of the active slot's record: the list that shows them, the edit for a new
// line, and the "Add" and "Del" buttons, which it handles itself.
class HeaderLines {
public:
    HeaderLines(DialogBase& window, SlotBoard& board);

    // The edit of a new line, for the window's data exchange.
    void exchange(DataExchange& dx);
    // The list from the active slot's record; the operator's selection survives while its line
    // is still there.
    void fill();
    void clear();

private:
    void add();
    void removeSelected();

    DialogBase& window_;
    SlotBoard& slots_;
    QListWidget* list_;
    std::string newLine_;
};

} // namespace nivra::ui
