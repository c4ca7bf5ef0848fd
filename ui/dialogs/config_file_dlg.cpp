#include "ui/dialogs/config_file_dlg.h"

#include "engine/run_clock.h"
#include "model/config_check.h"
#include "ui/controls/narrow_text.h"
#include "ui/dialogs/save_report_qt.h"

#include <optional>

using nivra::ui::FileDialogRequest;

namespace nivra::ui {

std::string saveProblem(const AssayConfig& config, const std::string& file) {
    return assayConfigProblem(config, file, SystemRunClock().Now());
}

std::string saveProblem(const CounterConfig& config, const std::string& file) {
    return counterConfigProblem(config, file);
}

} // namespace nivra::ui

namespace {

// Shows why the record may not be saved to file; true when it may.
bool MaySave(const std::string& problem) {
    if (problem.empty())
        return true;
    nivra::ui::ShowMessage(nivra::ui::FromNarrow(problem));
    return false;
}

} // namespace

CConfigFileDlg::CConfigFileDlg(int templateId, QWidget* parent, Commands commands,
                               FileDialogRequest fileRequest, Texts texts)
    : CDialogBase(templateId, parent), fileRequest_(std::move(fileRequest)),
      texts_(std::move(texts)) {
    OnCommand(commands.load, [this] { OnLoad(); });
    OnCommand(commands.save, [this] { OnSave(); });
    OnCommand(commands.saveAsDefault, [this] { OnSaveAsDefault(); });
}

bool CConfigFileDlg::OnInitDialog() {
    ValuesFromRecord();
    UpdateData(false);
    return true; // the focus goes to the first edit
}

// Replaces what is on screen, unsaved edits included, by the chosen file's configuration. Keys
// the file lacks leave the numbers as they were and empty the texts.
void CConfigFileDlg::OnLoad() {
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Open;
    const std::optional<QString> path = nivra::ui::Prompts().FileDialog(request);
    if (!path)
        return;
    const std::string file = nivra::ui::ToNarrow(*path);
    if (const std::string problem = ReadRecord(file); !problem.empty()) {
        // What is on screen stays: an unreadable file is not an empty configuration.
        nivra::ui::ShowMessage(nivra::ui::FromNarrow("File not loaded: " + file + ": " + problem));
        return;
    }
    ValuesFromRecord();
    UpdateData(false);
    nivra::ui::ShowMessage(texts_.loaded);
}

// A field that does not convert has been reported by the reading and keeps its previous value;
// the save goes on with the values as they then stand.
void CConfigFileDlg::OnSave() {
    UpdateData(true);
    FileDialogRequest request = fileRequest_;
    request.mode = FileDialogRequest::Mode::Save;
    const std::optional<QString> path = nivra::ui::Prompts().FileDialog(request);
    if (!path)
        return;
    ValuesToRecord();
    const std::string target = nivra::ui::ToNarrow(*path);
    if (!MaySave(RecordProblem(target)))
        return;
    nivra::ui::ReportSave(WriteRecord(target).ok(), texts_.saved, target);
}

// Writes the record's own file, whatever file was loaded or saved before.
void CConfigFileDlg::OnSaveAsDefault() {
    if (nivra::ui::Ask(QStringLiteral("Saving this configuration as default will overwrite "
                                      "current default configuration."),
                       nivra::ui::MessageButtons::OkCancel) != nivra::ui::Answer::Ok)
        return;
    UpdateData(true);
    ValuesToRecord();
    if (!MaySave(RecordProblem(OwnFile())))
        return;
    nivra::ui::ReportSave(WriteRecord({}).ok(), texts_.savedAsDefault, OwnFile());
}
