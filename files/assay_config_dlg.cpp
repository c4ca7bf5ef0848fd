#include "files/assay_config_dlg.h"

#include "controls/narrow_text.h"
#include "controls/prompts.h"
#include "files/save_report_qt.h"
#include "files/start_directory.h"
#include "resources/resource_ids.h"

namespace {

using nivra::ui::FileDialogRequest;

const QString kFilter = QStringLiteral("Assay Config Nivra (*.acx)|*.acx||");

// The Load and Save dialogs start in the folder that holds the assay configurations.
FileDialogRequest AssayFileRequest(FileDialogRequest::Mode mode) {
    FileDialogRequest request;
    request.mode = mode;
    request.defaultExtension = QStringLiteral("acx");
    request.filter = kFilter;
    request.overwritePrompt = true;
    request.startFolder = nivra::ui::FromNarrow(nivra::StartPath(nivra::kAssayConfigFolder));
    return request;
}

} // namespace

CAssayConfigDlg::CAssayConfigDlg(QWidget* parent)
    : CDialogBase(nivra::res::kDialogAssayConfig, parent) {
    OnCommand(kLoad, [this] { OnLoad(); });
    OnCommand(kSave, [this] { OnSave(); });
    OnCommand(kSaveAsDefault, [this] { OnSaveAsDefault(); });
}

CAssayConfigDlg::~CAssayConfigDlg() = default;

void CAssayConfigDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(kSampleArea, sampleArea_);
    dx.Text(kName, name_);
    dx.Text(kDwellHours, dwellHours_);
    dx.Text(kDwellMinutes, dwellMinutes_);
    dx.Text(kDwellSeconds, dwellSeconds_);
    dx.Text(kTotalHours, totalHours_);
    dx.Text(kTotalMinutes, totalMinutes_);
    dx.Text(kTotalSeconds, totalSeconds_);
    dx.Text(kBackgroundRate, backgroundRate_);
    dx.Text(kBackgroundHours, backgroundHours_);
}

bool CAssayConfigDlg::OnInitDialog() {
    ValuesFromRecord();
    UpdateData(false);
    return true; // the focus goes to the first edit, the name
}

void CAssayConfigDlg::ValuesFromRecord() {
    sampleArea_ = config_.sampleArea;
    name_ = config_.name;
    dwellHours_ = config_.dwellHours;
    dwellMinutes_ = config_.dwellMinutes;
    dwellSeconds_ = config_.dwellSeconds;
    totalHours_ = config_.totalHours;
    totalMinutes_ = config_.totalMinutes;
    totalSeconds_ = config_.totalSeconds;
    backgroundHours_ = config_.backgroundHours;
    backgroundRate_ = config_.backgroundRate;
}

void CAssayConfigDlg::ValuesToRecord() {
    config_.sampleArea = sampleArea_;
    config_.name = name_;
    config_.dwellHours = dwellHours_;
    config_.dwellMinutes = dwellMinutes_;
    config_.dwellSeconds = dwellSeconds_;
    config_.totalHours = totalHours_;
    config_.totalMinutes = totalMinutes_;
    config_.totalSeconds = totalSeconds_;
    config_.backgroundHours = backgroundHours_;
    config_.backgroundRate = backgroundRate_;
}

// Replaces what is on screen, unsaved edits included, by the chosen file's configuration. Keys
// the file lacks leave the numbers as they were and empty the name.
void CAssayConfigDlg::OnLoad() {
    const std::optional<QString> path =
        nivra::ui::Prompts().FileDialog(AssayFileRequest(FileDialogRequest::Mode::Open));
    if (!path)
        return;
    config_.read(nivra::ui::ToNarrow(*path));
    ValuesFromRecord();
    UpdateData(false);
    nivra::ui::ShowMessage(QStringLiteral("File Loaded"));
}

// A field that does not convert has been reported by the reading and keeps its previous value;
// the save goes on with the values as they then stand.
void CAssayConfigDlg::OnSave() {
    UpdateData(true);
    const std::optional<QString> path =
        nivra::ui::Prompts().FileDialog(AssayFileRequest(FileDialogRequest::Mode::Save));
    if (!path)
        return;
    ValuesToRecord();
    const std::string target = nivra::ui::ToNarrow(*path);
    nivra::ui::ReportSave(config_.write(target) != 0, QStringLiteral("File Saved"), target);
}

// Writes the default file, whatever file was loaded or saved before.
void CAssayConfigDlg::OnSaveAsDefault() {
    if (nivra::ui::Ask(QStringLiteral("Saving this configuration as default will overwrite "
                                      "current default configuration."),
                       nivra::ui::MessageButtons::OkCancel) != nivra::ui::Answer::Ok)
        return;
    UpdateData(true);
    ValuesToRecord();
    nivra::ui::ReportSave(config_.write() != 0, QStringLiteral("Default File Saved."),
                          config_.filePath);
}

void ShowAssayConfigDialog(QWidget* parent) {
    CAssayConfigDlg dialog(parent);
    dialog.exec();
}
