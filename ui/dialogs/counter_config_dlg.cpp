#include "ui/dialogs/counter_config_dlg.h"

#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "ui/controls/narrow_text.h"
#include "ui/resources/counter_config_controls.h"
#include "ui/resources/resource_ids.h"

namespace {

using nivra::ui::FileDialogRequest;
using namespace nivra::ui::counter_config;

// Load and Save leave the starting folder to the file dialog.
FileDialogRequest CounterFileRequest() {
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("ccx");
    request.filters = {{QStringLiteral("Counter Config Nivra (*.ccx)"), QStringLiteral("*.ccx")}};
    request.overwritePrompt = true;
    return request;
}

QString TitleFor(int counterNumber) {
    if (counterNumber == 0)
        return QStringLiteral("  Viewer (Place holder) Counter Configuration  ");
    return QString::fromStdString(nivra::FormatC("  Counter %d Configuration  ", counterNumber));
}

} // namespace

// The record keeps the slot's file as its own, so Save As Default still writes the slot's file
// after another file was loaded.
CCounterConfigDlg::CCounterConfigDlg(int counterNumber, QWidget* parent)
    : CConfigRecordDlg(nivra::res::kDialogCounterConfig, parent,
                       {kLoadButton, kSaveButton, kSaveAsDefaultButton}, CounterFileRequest(),
                       {QStringLiteral("Loaded."), QStringLiteral("Saved."),
                        QStringLiteral("Saved Default Counter Configuration.")},
                       CounterConfig(nivra::CounterConfigPath(counterNumber))),
      title_(TitleFor(counterNumber)) {}

CCounterConfigDlg::~CCounterConfigDlg() = default;

void CCounterConfigDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(kNameEdit, name_);
    dx.Text(kDescriptionEdit, description_);
    dx.Text(kDetectorAreaEdit, detectorArea_);
    dx.Text(kDetectorEfficiencyEdit, detectorEfficiency_);
}

bool CCounterConfigDlg::OnInitDialog() {
    CConfigFileDlg::OnInitDialog();
    setWindowTitle(title_);
    SetItemText(kCounterGroup, title_);
    return true; // the focus goes to the first edit, the name
}

void CCounterConfigDlg::ValuesFromRecord() {
    name_ = config_.name;
    description_ = config_.description;
    detectorArea_ = config_.detectorArea;
    detectorEfficiency_ = config_.detectorEfficiency;
}

void CCounterConfigDlg::ValuesToRecord() {
    config_.name = name_;
    config_.description = description_;
    config_.detectorArea = detectorArea_;
    config_.detectorEfficiency = detectorEfficiency_;
}

void ShowCounterConfigDialog(QWidget* parent, int slotNumber) {
    CCounterConfigDlg dialog(slotNumber, parent);
    dialog.exec();
}
