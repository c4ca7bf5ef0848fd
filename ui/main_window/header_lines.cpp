#include "ui/main_window/header_lines.h"

#include "ui/controls/narrow_text.h"
#include "ui/main_window/counter_slot.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/main_window_ui.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace nivra::ui {

HeaderLines::HeaderLines(const MainWindowUi& ui, SlotModel& model)
    : slots_(model), list_(ui.headerList), edit_(ui.headerEdit) {
    QObject::connect(ui.addHeader, &QPushButton::clicked, list_, [this] { add(); });
    QObject::connect(ui.delHeader, &QPushButton::clicked, list_, [this] { removeSelected(); });
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
    if (!slots_.active().data)
        return;
    // An empty line is a line too: the operator may want a blank line in the description.
    slots_.appendHeaderLine(slots_.activeIndex(), toNarrow(edit_->text()));
    edit_->clear();
}

void HeaderLines::removeSelected() {
    const QList<QListWidgetItem*> selection = list_->selectedItems();
    if (selection.isEmpty())
        return;
    const int selected = list_->row(selection.first());
    // The list mirrors the record's lines in order; a run only appends to them.
    slots_.removeHeaderLine(slots_.activeIndex(), static_cast<std::size_t>(selected));
}

} // namespace nivra::ui
