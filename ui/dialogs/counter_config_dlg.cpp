#include "ui/dialogs/counter_config_dlg.h"

#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "ui/controls/narrow_text.h"
#include "ui/resources/counter_config_controls.h"
#include "ui/resources/resource_ids.h"

namespace nivra::ui {

namespace {

using nivra::ui::FileDialogRequest;
using namespace nivra::ui::counter_config;

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
CounterConfigDlg::CounterConfigDlg(int counterNumber, QWidget* parent)
    : ConfigRecordDlg(nivra::res::kDialogCounterConfig, parent,
                      {kLoadButton, kSaveButton, kSaveAsDefaultButton}, counterFileRequest(),
                      {QStringLiteral("Loaded."), QStringLiteral("Saved."),
                       QStringLiteral("Saved Default Counter Configuration.")},
                      CounterConfig(nivra::counterConfigPath(counterNumber))),
      title_(titleFor(counterNumber)) {}

CounterConfigDlg::~CounterConfigDlg() = default;

void CounterConfigDlg::doDataExchange(DataExchange& dx) {
    dx.text(kNameEdit, name_);
    dx.text(kDescriptionEdit, description_);
    dx.wholeNumber(kDetectorAreaEdit, detectorArea_);
    dx.text(kDetectorEfficiencyEdit, detectorEfficiency_);
}

bool CounterConfigDlg::onInitDialog() {
    ConfigFileDlg::onInitDialog();
    setWindowTitle(title_);
    setItemText(kCounterGroup, title_);
    return true; // the focus goes to the first edit, the name
}

void CounterConfigDlg::valuesFromRecord() {
    name_ = config_.name;
    description_ = config_.description;
    detectorArea_ = config_.detectorArea;
    detectorEfficiency_ = config_.detectorEfficiency;
}

void CounterConfigDlg::valuesToRecord() {
    config_.name = name_;
    config_.description = description_;
    config_.detectorArea = detectorArea_;
    config_.detectorEfficiency = detectorEfficiency_;
}

void showCounterConfigDialog(QWidget* parent, int slotNumber) {
    CounterConfigDlg dialog(slotNumber, parent);
    dialog.exec();
}

} // namespace nivra::ui
