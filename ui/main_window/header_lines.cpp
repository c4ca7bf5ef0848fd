#include "ui/main_window/header_lines.h"

#include "ui/controls/data_exchange.h"
#include "ui/controls/dialog_base.h"
#include "ui/controls/narrow_text.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/slot_board.h"

#include <QListWidget>

namespace nivra::ui {

using namespace nivra::ui::main;

HeaderLines::HeaderLines(DialogBase& window, SlotBoard& board)
    : window_(window), slots_(board), list_(window.controlAs<QListWidget>(kHeaderList)) {
    window.onCommand(kAddHeaderButton, [this] { add(); });
    window.onCommand(kDelHeaderButton, [this] { removeSelected(); });
}

void HeaderLines::exchange(DataExchange& dx) {
    dx.text(kHeaderEdit, newLine_);
}

void HeaderLines::fill() {
    const int selected = list_->currentRow();
    list_->clear();
    const CounterSlot& slot = slots_.active();
    if (!slot.data)
        return;
    QStringList lines;
    for (const std::string& line : slot.data->headerLines())
        lines << fromNarrow(line);
    list_->addItems(lines);
    if (selected >= 0 && selected < list_->count())
        list_->setCurrentRow(selected);
}

void HeaderLines::clear() {
    list_->clear();
}

void HeaderLines::add() {
    CounterSlot& slot = slots_.active();
    if (!slot.data)
        return;
    window_.updateData(true);
    // An empty line is a line too: the operator may want a blank line in the description.
    slot.data->appendHeaderLine(newLine_);
    slot.saved = false;
    fill();
    newLine_.clear();
    window_.updateData(false);
}

void HeaderLines::removeSelected() {
    CounterSlot& slot = slots_.active();
    const QList<QListWidgetItem*> selection = list_->selectedItems();
    if (!slot.data || selection.isEmpty())
        return;
    const int selected = list_->row(selection.first());
    // The list mirrors the record's lines in order; a run only appends to them.
    slot.data->removeHeaderLine(static_cast<std::size_t>(selected));
    slot.saved = false;
    fill();
    window_.updateData(false);
}

} // namespace nivra::ui
