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

namespace nivra::ui {

namespace {

using namespace nivra::ui::run_config;

bool isFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The folder below the start directory where files of a kind are kept, when it exists, so the
// file dialog opens among them; otherwise the dialog chooses.
QString startFolder(const char* relativeFolder) {
    const std::string folder = nivra::startPath(relativeFolder);
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? nivra::ui::fromNarrow(folder) : QString();
}

// The path the operator chose in an open dialog, or nothing when they cancelled.
std::optional<std::string> chooseFile(const char* extension, nivra::ui::FileFilter filter,
                                      const char* folder) {
    nivra::ui::FileDialogRequest request;
    request.mode = nivra::ui::FileDialogRequest::Mode::Open;
    request.defaultExtension = QString::fromLatin1(extension);
    request.filters = {std::move(filter)};
    request.startFolder = startFolder(folder);
    const std::optional<QString> chosen = nivra::ui::prompts().fileDialog(request);
    if (!chosen)
        return std::nullopt;
    return nivra::ui::toNarrow(*chosen);
}

} // namespace

RunConfigDlg::RunConfigDlg(int counterNumber, QWidget* parent)
    : DialogBase(nivra::res::kDialogRunConfig, parent), counterNumber_(counterNumber) {
    onCommand(kOpenCounterButton, [this] { onOpenCounterConfig(); });
    onCommand(kOpenAssayButton, [this] { onOpenAssayConfig(); });
    onCommand(kStartButton, [this] { onStart(); });
}

RunConfigDlg::~RunConfigDlg() = default;

void RunConfigDlg::doDataExchange(DataExchange& dx) {
    DialogBase::doDataExchange(dx);
    dx.text(kCounterNameEdit, counterName_);
    dx.text(kCounterFileEdit, counterFile_);
    dx.text(kAssayNameEdit, assayName_);
    dx.text(kAssayFileEdit, assayFile_);
    dx.text(kCounterNumberEdit, counterNumber_);
}

bool RunConfigDlg::onInitDialog() {
    DialogBase::onInitDialog();
    // The counter's own configuration is proposed when it exists; otherwise the fields stay
    // empty and the operator opens one.
    counterFile_ = nivra::counterConfigPath(counterNumber_);
    if (!isFile(counterFile_))
        return true;
    counterConfig_.emplace(counterFile_);
    counterName_ = counterConfig_->name;
    updateData(false);
    return true;
}

void RunConfigDlg::onOpenCounterConfig() {
    const std::optional<std::string> path = chooseFile(
        ".ccx", {QStringLiteral("Counter Config Nivra (*.ccx)"), QStringLiteral("*.ccx")},
        nivra::kCounterConfigFolder);
    if (!path)
        return;
    counterFile_ = *path;
    counterConfig_.emplace(counterFile_);
    counterName_ = counterConfig_->name;
    updateData(false);
}

void RunConfigDlg::onOpenAssayConfig() {
    const std::optional<std::string> path =
        chooseFile(".acx", {QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")},
                   nivra::kAssayConfigFolder);
    if (!path)
        return;
    assayFile_ = *path;
    assayConfig_.emplace(assayFile_);
    assayName_ = assayConfig_->name;
    updateData(false);
}

void RunConfigDlg::onStart() {
    if (!counterConfig_ || !assayConfig_) {
        nivra::ui::showMessage(
            QStringLiteral("Missing a configuration file nessesary to start assay"));
        return;
    }
    // A configuration a run cannot keep (a dwell of 0, times beyond ten years, a file without
    // its section, areas or efficiency of 0) is named with its file and field; no run starts.
    if (const std::string problem =
            nivra::runConfigProblem(counterFile_, *counterConfig_, assayFile_, *assayConfig_,
                                    nivra::systemRunClock().now());
        !problem.empty()) {
        nivra::ui::showMessage(nivra::ui::fromNarrow(problem));
        return;
    }
    updateData(true);
    endDialog(Accepted);
}

} // namespace nivra::ui
