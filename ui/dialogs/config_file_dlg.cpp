#include "ui/dialogs/config_file_dlg.h"

#include "engine/run_clock.h"
#include "model/config_check.h"
#include "ui/controls/narrow_text.h"
#include "ui/dialogs/save_report_qt.h"

#include <QPushButton>
#include <optional>

using nivra::ui::FileDialogRequest;

namespace nivra::ui {

std::string saveProblem(const AssayConfig& config, const std::string& file) {
    return assayConfigProblem(config, file, systemRunClock().now());
}

std::string saveProblem(const CounterConfig& config, const std::string& file) {
    return counterConfigProblem(config, file);
}

namespace {

// Shows why the record may not be saved to file; true when it may.
bool maySave(Prompts& prompts, const std::string& problem) {
    if (problem.empty())
        return true;
    prompts.tell(nivra::ui::fromNarrow(problem));
    return false;
}

} // namespace

ConfigFileDlg::ConfigFileDlg(Prompts& prompts, const nivra::res::DialogTemplate& dialog,
                             QWidget* parent, FileDialogRequest fileRequest, Texts texts)
    : TemplateDialog(dialog, parent), prompts_(prompts), fileRequest_(std::move(fileRequest)),
      texts_(std::move(texts)) {}

void ConfigFileDlg::connectButtons(const Buttons& buttons) {
    connect(buttons.load, &QPushButton::clicked, this, &ConfigFileDlg::onLoad);
    connect(buttons.save, &QPushButton::clicked, this, &ConfigFileDlg::onSave);
    connect(buttons.saveAsDefault, &QPushButton::clicked, this, &ConfigFileDlg::onSaveAsDefault);
    connect(buttons.close, &QPushButton::clicked, this, &QDialog::reject);
}

// Replaces what is on screen, unsaved edits included, by the chosen file's configuration. Keys
// the file lacks leave the numbers as they were and empty the texts.
void ConfigFileDlg::onLoad() {
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Open;
    const std::optional<QString> path = prompts_.fileDialog(request);
    if (!path)
        return;
    const std::string file = nivra::ui::toNarrow(*path);
    if (const std::string problem = readRecord(file); !problem.empty()) {
        // What is on screen stays: an unreadable file is not an empty configuration.
        prompts_.tell(nivra::ui::fromNarrow("File not loaded: " + file + ": " + problem));
        return;
    }
    showRecord();
    prompts_.tell(texts_.loaded);
}

// A field that does not convert has been reported by the reading, which leaves the focus on it;
// nothing is saved, since the file would not hold what the operator typed.
void ConfigFileDlg::onSave() {
    if (!readFields())
        return;
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Save;
    const std::optional<QString> path = prompts_.fileDialog(request);
    if (!path)
        return;
    const std::string target = nivra::ui::toNarrow(*path);
    if (!maySave(prompts_, recordProblem(target)))
        return;
    nivra::ui::reportSave(prompts_, writeRecord(target), texts_.saved, target);
}

// Writes the record's own file, whatever file was loaded or saved before.
void ConfigFileDlg::onSaveAsDefault() {
    if (prompts_.ask(QStringLiteral("Saving this configuration as default will overwrite "
                                    "current default configuration."),
                     nivra::ui::MessageButtons::OkCancel) != nivra::ui::Answer::Ok)
        return;
    if (!readFields())
        return;
    if (!maySave(prompts_, recordProblem(ownFile())))
        return;
    nivra::ui::reportSave(prompts_, writeRecord({}), texts_.savedAsDefault, ownFile());
}

} // namespace nivra::ui
