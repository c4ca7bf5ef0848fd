#include "files/counter_config_dlg.h"

#include "controls/narrow_text.h"
#include "controls/prompts.h"
#include "files/save_report_qt.h"
#include "files/start_directory.h"
#include "files/value_encoding.h"
#include "resources/resource_ids.h"

namespace {

using nivra::ui::FileDialogRequest;

// Load and Save leave the starting folder to the file dialog.
FileDialogRequest CounterFileRequest(FileDialogRequest::Mode mode) {
    FileDialogRequest request;
    request.mode = mode;
    request.defaultExtension = QStringLiteral("ccx");
    request.filter = QStringLiteral("Counter Config Nivra (*.ccx)|*.ccx||");
    request.overwritePrompt = true;
    return request;
}

QString TitleFor(int counterNumber) {
    if (counterNumber == 0)
        return QStringLiteral("  Viewer (Place holder) Counter Configuration  ");
    return QString::fromStdString(nivra::FormatC("  Counter %d Configuration  ", counterNumber));
}

} // namespace

CCounterConfigDlg::CCounterConfigDlg(int counterNumber, QWidget* parent)
    : CDialogBase(nivra::res::kDialogCounterConfig, parent),
      config_(nivra::CounterConfigPath(counterNumber)), title_(TitleFor(counterNumber)) {
    OnCommand(kLoad, [this] { OnLoad(); });
    OnCommand(kSave, [this] { OnSave(); });
    OnCommand(kSaveAsDefault, [this] { OnSaveAsDefault(); });
}

CCounterConfigDlg::~CCounterConfigDlg() = default;

void CCounterConfigDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(kName, name_);
    dx.Text(kDescription, description_);
    dx.Text(kDetectorArea, detectorArea_);
    dx.Text(kDetectorEfficiency, detectorEfficiency_);
}

bool CCounterConfigDlg::OnInitDialog() {
    ValuesFromRecord();
    UpdateData(false);
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

// Replaces what is on screen, unsaved edits included, by the chosen file's configuration. The
// record keeps the slot's file as its own, so Save As Default still writes the slot's file.
void CCounterConfigDlg::OnLoad() {
    const std::optional<QString> path =
        nivra::ui::Prompts().FileDialog(CounterFileRequest(FileDialogRequest::Mode::Open));
    if (!path)
        return;
    config_.read(nivra::ui::ToNarrow(*path));
    ValuesFromRecord();
    UpdateData(false);
    nivra::ui::ShowMessage(QStringLiteral("Loaded."));
}

// A field that does not convert has been reported by the reading and keeps its previous value;
// the save goes on with the values as they then stand.
void CCounterConfigDlg::OnSave() {
    UpdateData(true);
    const std::optional<QString> path =
        nivra::ui::Prompts().FileDialog(CounterFileRequest(FileDialogRequest::Mode::Save));
    if (!path)
        return;
    ValuesToRecord();
    const std::string target = nivra::ui::ToNarrow(*path);
    nivra::ui::ReportSave(config_.write(target) != 0, QStringLiteral("Saved."), target);
}

void CCounterConfigDlg::OnSaveAsDefault() {
    if (nivra::ui::Ask(QStringLiteral("Saving this configuration as default will overwrite "
                                      "current default configuration."),
                       nivra::ui::MessageButtons::OkCancel) != nivra::ui::Answer::Ok)
        return;
    UpdateData(true);
    ValuesToRecord();
    nivra::ui::ReportSave(config_.write() != 0,
                          QStringLiteral("Saved Default Counter Configuration."), config_.filePath);
}

void ShowCounterConfigDialog(QWidget* parent, int slotNumber) {
    CCounterConfigDlg dialog(slotNumber, parent);
    dialog.exec();
}
