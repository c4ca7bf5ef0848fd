#include "ui/dialogs/config_file_dlg.h"

#include "engine/run_clock.h"
#include "model/config_check.h"
#include "ui/controls/narrow_text.h"
#include "ui/dialogs/save_report_qt.h"

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
bool maySave(const std::string& problem) {
    if (problem.empty())
        return true;
    nivra::ui::showMessage(nivra::ui::fromNarrow(problem));
    return false;
}

} // namespace

ConfigFileDlg::ConfigFileDlg(int templateId, QWidget* parent, Commands commands,
                             FileDialogRequest fileRequest, Texts texts)
    : DialogBase(templateId, parent), fileRequest_(std::move(fileRequest)),
      texts_(std::move(texts)) {
    onCommand(commands.load, [this] { onLoad(); });
    onCommand(commands.save, [this] { onSave(); });
    onCommand(commands.saveAsDefault, [this] { onSaveAsDefault(); });
}

bool ConfigFileDlg::onInitDialog() {
    valuesFromRecord();
    updateData(false);
    return true; // the focus goes to the first edit
}

// Replaces what is on screen, unsaved edits included, by the chosen file's configuration. Keys
// the file lacks leave the numbers as they were and empty the texts.
void ConfigFileDlg::onLoad() {
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Open;
    const std::optional<QString> path = nivra::ui::prompts().fileDialog(request);
    if (!path)
        return;
    const std::string file = nivra::ui::toNarrow(*path);
    if (const std::string problem = readRecord(file); !problem.empty()) {
        // What is on screen stays: an unreadable file is not an empty configuration.
        nivra::ui::showMessage(nivra::ui::fromNarrow("File not loaded: " + file + ": " + problem));
        return;
    }
    valuesFromRecord();
    updateData(false);
    nivra::ui::showMessage(texts_.loaded);
}

// A field that does not convert has been reported by the reading and keeps its previous value;
// the save goes on with the values as they then stand.
void ConfigFileDlg::onSave() {
    updateData(true);
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Save;
    const std::optional<QString> path = nivra::ui::prompts().fileDialog(request);
    if (!path)
        return;
    valuesToRecord();
    const std::string target = nivra::ui::toNarrow(*path);
    if (!maySave(recordProblem(target)))
        return;
    nivra::ui::reportSave(writeRecord(target), texts_.saved, target);
}

// Writes the record's own file, whatever file was loaded or saved before.
void ConfigFileDlg::onSaveAsDefault() {
    if (nivra::ui::ask(QStringLiteral("Saving this configuration as default will overwrite "
                                      "current default configuration."),
                       nivra::ui::MessageButtons::OkCancel) != nivra::ui::Answer::Ok)
        return;
    updateData(true);
    valuesToRecord();
    if (!maySave(recordProblem(ownFile())))
        return;
    nivra::ui::reportSave(writeRecord({}), texts_.savedAsDefault, ownFile());
}

} // namespace nivra::ui
