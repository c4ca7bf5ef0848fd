#include "ui/dialogs/run_config_dlg.h"

#include "base/start_directory.h"
#include "engine/run_clock.h"
#include "model/config_check.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>

namespace nivra::ui {

namespace {

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The folder below the start directory where files of a kind are kept, when it exists, so the
// file dialog opens among them; otherwise the dialog chooses.
QString startFolder(const StartDirectory& start, const char* relativeFolder) {
    const std::string folder = start.file(relativeFolder);
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? nivra::ui::fromNarrow(folder) : QString();
}

// The path the operator chose in an open dialog, or nothing when they cancelled.
std::optional<std::string> chooseFile(nivra::ui::Prompts& prompts, const char* extension,
                                      nivra::ui::FileFilter filter, const StartDirectory& start,
                                      const char* folder) {
    nivra::ui::FileDialogRequest request;
    request.mode = nivra::ui::FileDialogRequest::Mode::Open;
    request.defaultExtension = QString::fromLatin1(extension);
    request.filters = {std::move(filter)};
    request.startFolder = startFolder(start, folder);
    const std::optional<QString> chosen = prompts.fileDialog(request);
    if (!chosen)
        return std::nullopt;
    return nivra::ui::toNarrow(*chosen);
}

} // namespace

RunConfigDlg::RunConfigDlg(Prompts& prompts, int counterNumber, const StartDirectory& start,
                           QWidget* parent)
    : TemplateDialog(nivra::res::runConfigTemplate(), parent), prompts_(prompts), start_(start) {
    ui_ = form()->bind<RunConfigUi>();
    connect(ui_.openCounter, &QPushButton::clicked, this, &RunConfigDlg::onOpenCounterConfig);
    connect(ui_.openAssay, &QPushButton::clicked, this, &RunConfigDlg::onOpenAssayConfig);
    connect(ui_.start, &QPushButton::clicked, this, &RunConfigDlg::onStart);
    connect(ui_.cancel, &QPushButton::clicked, this, &QDialog::reject);
    ui_.counterNumber->setText(QString::number(counterNumber));
    // The counter's own configuration is proposed when it exists; otherwise the fields stay
    // empty and the operator opens one.
    if (const std::string own = start_.counterConfig(counterNumber); isFile(own))
        openCounterConfig(own);
}

RunConfigDlg::~RunConfigDlg() = default;

void RunConfigDlg::openCounterConfig(const std::string& path) {
    counterFile_ = path;
    counterConfig_.emplace(counterFile_);
    ui_.counterName->setText(fromNarrow(counterConfig_->name));
    ui_.counterFile->setText(fromNarrow(counterFile_));
}

void RunConfigDlg::onOpenCounterConfig() {
    const std::optional<std::string> path = chooseFile(
        prompts_, ".ccx", {QStringLiteral("Counter Config Nivra (*.ccx)"), QStringLiteral("*.ccx")},
        start_, nivra::kCounterConfigFolder);
    if (path)
        openCounterConfig(*path);
}

void RunConfigDlg::onOpenAssayConfig() {
    const std::optional<std::string> path = chooseFile(
        prompts_, ".acx", {QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")},
        start_, nivra::kAssayConfigFolder);
    if (!path)
        return;
    assayFile_ = *path;
    assayConfig_.emplace(assayFile_);
    ui_.assayName->setText(fromNarrow(assayConfig_->name));
    ui_.assayFile->setText(fromNarrow(assayFile_));
}

void RunConfigDlg::onStart() {
    if (!counterConfig_ || !assayConfig_) {
        prompts_.tell(QStringLiteral("Missing a configuration file nessesary to start assay"));
        return;
    }
    // A configuration a run cannot keep (a dwell of 0, times beyond ten years, a file without
    // its section, areas or efficiency of 0) is named with its file and field; no run starts.
    if (const std::string problem =
            nivra::runConfigProblem(counterFile_, *counterConfig_, assayFile_, *assayConfig_,
                                    nivra::systemRunClock().now());
        !problem.empty()) {
        prompts_.tell(nivra::ui::fromNarrow(problem));
        return;
    }
    accept();
}

} // namespace nivra::ui
