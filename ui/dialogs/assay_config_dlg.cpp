#include "ui/dialogs/assay_config_dlg.h"

#include "base/start_directory.h"
#include "ui/controls/narrow_text.h"
#include "ui/resources/assay_config_controls.h"
#include "ui/resources/resource_ids.h"

namespace {

using nivra::ui::FileDialogRequest;
using namespace nivra::ui::assay_config;

// The Load and Save dialogs start in the folder that holds the assay configurations.
FileDialogRequest AssayFileRequest() {
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("acx");
    request.filters = {{QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")}};
    request.overwritePrompt = true;
    request.startFolder = nivra::ui::FromNarrow(nivra::StartPath(nivra::kAssayConfigFolder));
    return request;
}

} // namespace

CAssayConfigDlg::CAssayConfigDlg(QWidget* parent)
    : CConfigRecordDlg(nivra::res::kDialogAssayConfig, parent,
                       {kLoadButton, kSaveButton, kSaveAsDefaultButton}, AssayFileRequest(),
                       {QStringLiteral("File Loaded"), QStringLiteral("File Saved"),
                        QStringLiteral("Default File Saved.")},
                       AssayConfig()) {}

CAssayConfigDlg::~CAssayConfigDlg() = default;

void CAssayConfigDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(kSampleAreaEdit, sampleArea_);
    dx.Text(kNameEdit, name_);
    dx.Text(kDwellHoursEdit, dwellHours_);
    dx.Text(kDwellMinutesEdit, dwellMinutes_);
    dx.Text(kDwellSecondsEdit, dwellSeconds_);
    dx.Text(kTotalHoursEdit, totalHours_);
    dx.Text(kTotalMinutesEdit, totalMinutes_);
    dx.Text(kTotalSecondsEdit, totalSeconds_);
    dx.Text(kBackgroundRateEdit, backgroundRate_);
    dx.Text(kBackgroundHoursEdit, backgroundHours_);
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

void ShowAssayConfigDialog(QWidget* parent) {
    CAssayConfigDlg dialog(parent);
    dialog.exec();
}
