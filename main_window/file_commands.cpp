// File New, which clears the active counter slot for a new run, and File Save, which it offers
// for data that has not been saved.

#include "controls/narrow_text.h"
#include "controls/prompts.h"
#include "main_window/nivra_dlg.h"

#include <QListWidget>

using namespace nivra::ui::main;

void CNivraDlg::OnFileNew() {
    CounterSlot& slot = ActiveSlotRecord();
    // Only a counter slot without a run can be cleared (the menu offers New for no other). A
    // running slot's record is being filled and must stay.
    if (slot.state != DEMO && slot.state != STOPPED)
        return;
    if (slot.saved) {
        ResetSlotForNewRun(false);
        return;
    }
    const nivra::ui::Answer answer =
        nivra::ui::Ask(QStringLiteral("Data not saved, would you like to save?"),
                       nivra::ui::MessageButtons::YesNoCancel, nivra::ui::Sound::Exclamation);
    if (answer == nivra::ui::Answer::Cancel) {
        RefreshStatus();
        return;
    }
    // The operator asked to keep the data: when it did not reach a file (save dialog cancelled,
    // file not written), the slot keeps it rather than throwing it away unsaved.
    if (answer == nivra::ui::Answer::Yes && !OnFileSave())
        return;
    ResetSlotForNewRun(true);
}

void CNivraDlg::ResetSlotForNewRun(bool resetLabels) {
    CounterSlot& slot = ActiveSlotRecord();
    ClearChart();
    for (int id : {kStatsValueList, kRoiDumpList, kDataDumpList})
        ClearList(id);
    if (resetLabels) {
        ClearList(kHeaderList);
        SetItemText(kFileLabel, QStringLiteral("File: "));
        SetItemText(kEndTimeLabel, QStringLiteral("End Time: "));
        SetItemText(kTimeLeftLabel, QStringLiteral("Time Left:"));
    }
    slot.data.reset();
    slot.fileName = "File: ";
    slot.state = NEW;
    slot.saved = true;
    RefreshStatus();
}

bool CNivraDlg::OnFileSave() {
    CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return false;
    nivra::ui::FileDialogRequest request;
    request.mode = nivra::ui::FileDialogRequest::Mode::Save;
    request.defaultExtension = QStringLiteral(".dax");
    request.initialName = nivra::ui::FromNarrow(slot.data->counterConfig().description);
    request.filter = QStringLiteral("DataNivra(*.dax)|*.dax||");
    request.overwritePrompt = true;
    const std::optional<QString> path = nivra::ui::Prompts().FileDialog(request);
    bool saved = false;
    if (!path) {
        nivra::ui::ShowMessage(QStringLiteral("data not saved"));
    } else if (!slot.data->save(nivra::ui::ToNarrow(*path))) {
        // A file that could not be written is no saved data.
        nivra::ui::ShowMessage(
            QStringLiteral("data not saved: %1 could not be written").arg(*path));
    } else {
        slot.saved = true;
        slot.fileName = nivra::ui::ToNarrow(*path);
        nivra::ui::ShowMessage(QStringLiteral("data saved"));
        saved = true;
    }
    RefreshStatus();
    return saved;
}
