#include "ui/dialogs/counter_config_dlg.h"

#include "base/value_encoding.h"
#include "ui/controls/edit_fields.h"

#include <QGroupBox>

namespace nivra::ui {

namespace {

using nivra::ui::FileDialogRequest;

// Load and Save leave the starting folder to the file dialog.
FileDialogRequest counterFileRequest() {
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("ccx");
    request.filters = {{QStringLiteral("Counter Config Nivra (*.ccx)"), QStringLiteral("*.ccx")}};
    request.overwritePrompt = true;
    return request;
}

QString titleFor(int counterNumber) {
    if (counterNumber == 0)
        return QStringLiteral("  Viewer (Place holder) Counter Configuration  ");
    return QString::fromStdString(nivra::formatC("  Counter %d Configuration  ", counterNumber));
}

} // namespace

// The record keeps the slot's file as its own, so Save As Default still writes the slot's file
// after another file was loaded.
CounterConfigDlg::CounterConfigDlg(Prompts& prompts, int counterNumber, const StartDirectory& start,
                                   QWidget* parent)
    : ConfigRecordDlg(prompts, nivra::res::counterConfigTemplate(), parent, counterFileRequest(),
                      {QStringLiteral("Loaded."), QStringLiteral("Saved."),
                       QStringLiteral("Saved Default Counter Configuration.")},
                      CounterConfig(start.counterConfig(counterNumber))) {
    ui_ = form()->bind<CounterConfigUi>();
    connectButtons({ui_.load, ui_.save, ui_.saveAsDefault, ui_.close});
    const QString title = titleFor(counterNumber);
    setWindowTitle(title);
    ui_.counterGroup->setTitle(title);
    showRecord();
}

CounterConfigDlg::~CounterConfigDlg() = default;

void CounterConfigDlg::showRecord() {
    showText(ui_.name, config_.name);
    showText(ui_.description, config_.description);
    showNumber(ui_.detectorArea, config_.detectorArea);
    showNumber(ui_.detectorEfficiency, config_.detectorEfficiency);
}

bool CounterConfigDlg::readFields() {
    config_.name = readText(ui_.name);
    config_.description = readText(ui_.description);
    return readWholeNumber(prompts_, ui_.detectorArea, config_.detectorArea) &&
           readReal(prompts_, ui_.detectorEfficiency, config_.detectorEfficiency);
}

} // namespace nivra::ui
