#include "ui/dialogs/run_config_dlg.h"

#include "base/start_directory.h"
#include "engine/run_clock.h"
#include "model/config_check.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_controls.h"

#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace {

using namespace nivra::ui::run_config;

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The folder below the start directory where files of a kind are kept, when it exists, so the
// file dialog opens among them; otherwise the dialog chooses.
QString StartFolder(const char* relativeFolder) {
    const std::string folder = nivra::StartPath(relativeFolder);
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? nivra::ui::FromNarrow(folder) : QString();
}

// The path the operator chose in an open dialog, or nothing when they cancelled.
std::optional<std::string> ChooseFile(const char* extension, nivra::ui::FileFilter filter,
                                      const char* folder) {
    nivra::ui::FileDialogRequest request;
    request.mode = nivra::ui::FileDialogRequest::Mode::Open;
    request.defaultExtension = QString::fromLatin1(extension);
    request.filters = {std::move(filter)};
    request.startFolder = StartFolder(folder);
    const std::optional<QString> chosen = nivra::ui::Prompts().FileDialog(request);
    if (!chosen)
        return std::nullopt;
    return nivra::ui::ToNarrow(*chosen);
}

} // namespace

CAssayRunConfigDlg::CAssayRunConfigDlg(int counterNumber, QWidget* parent)
    : CDialogBase(nivra::res::kDialogRunConfig, parent), counterNumber_(counterNumber) {
    OnCommand(kOpenCounterButton, [this] { OnOpenCounterConfig(); });
    OnCommand(kOpenAssayButton, [this] { OnOpenAssayConfig(); });
    OnCommand(kStartButton, [this] { OnStart(); });
}

CAssayRunConfigDlg::~CAssayRunConfigDlg() = default;

void CAssayRunConfigDlg::DoDataExchange(CDataExchange& dx) {
    CDialogBase::DoDataExchange(dx);
    dx.Text(kCounterNameEdit, counterName_);
    dx.Text(kCounterFileEdit, counterFile_);
    dx.Text(kAssayNameEdit, assayName_);
    dx.Text(kAssayFileEdit, assayFile_);
    dx.Text(kCounterNumberEdit, counterNumber_);
}

bool CAssayRunConfigDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    // The counter's own configuration is proposed when it exists; otherwise the fields stay
    // empty and the operator opens one.
    counterFile_ = nivra::CounterConfigPath(counterNumber_);
    if (!IsFile(counterFile_))
        return true;
    counterConfig_.emplace(counterFile_);
    counterName_ = counterConfig_->name;
    UpdateData(false);
    return true;
}

void CAssayRunConfigDlg::OnOpenCounterConfig() {
    const std::optional<std::string> path = ChooseFile(
        ".ccx", {QStringLiteral("Counter Config Nivra (*.ccx)"), QStringLiteral("*.ccx")},
        nivra::kCounterConfigFolder);
    if (!path)
        return;
    counterFile_ = *path;
    counterConfig_.emplace(counterFile_);
    counterName_ = counterConfig_->name;
    UpdateData(false);
}

void CAssayRunConfigDlg::OnOpenAssayConfig() {
    const std::optional<std::string> path =
        ChooseFile(".acx", {QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")},
                   nivra::kAssayConfigFolder);
    if (!path)
        return;
    assayFile_ = *path;
    assayConfig_.emplace(assayFile_);
    assayName_ = assayConfig_->name;
    UpdateData(false);
}

void CAssayRunConfigDlg::OnStart() {
    if (!counterConfig_ || !assayConfig_) {
        nivra::ui::ShowMessage(
            QStringLiteral("Missing a configuration file nessesary to start assay"));
        return;
    }
    // A configuration a run cannot keep (a dwell of 0, times beyond ten years, a file without
    // its section, areas or efficiency of 0) is named with its file and field; no run starts.
    if (const std::string problem =
            nivra::runConfigProblem(counterFile_, *counterConfig_, assayFile_, *assayConfig_,
                                    nivra::SystemRunClock().Now());
        !problem.empty()) {
        nivra::ui::ShowMessage(nivra::ui::FromNarrow(problem));
        return;
    }
    UpdateData(true);
    EndDialog(Accepted);
}
