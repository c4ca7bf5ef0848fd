#pragma once

#include "base/start_directory.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPrinter;
class QWidget;

// The one seam for everything modal that asks the operator: message boxes, the open and save
// file dialogs and the print dialog. Window code never opens such a dialog itself; it asks the
// Prompts it was handed (the application context's). The program hands down QtPrompts, the real
// Qt dialogs; tests hand down their own Prompts that answer from a script, so no test ever
// blocks on a dialog.
namespace nivra::ui {

class FileFolders;

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// The button the operator pressed.
enum class Answer { Ok, Cancel, Yes, No };

// The answer that changes nothing: what closing the box would give.
Answer safeAnswer(MessageButtons buttons);

enum class Sound { None, Exclamation };

// One entry of a file dialog's list of file types: the text the operator reads and the patterns
// of the files it shows, e.g. {"DataNivra(*.dax)", "*.dax"}. Several patterns are separated by
// ';' ("*.csv;*.txt").
struct FileFilter {
    QString description;
    QString patterns;
    bool operator==(const FileFilter&) const = default;
};

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    // Appended when the chosen name has no extension: ".dax" or "dax".
    QString defaultExtension;
    // Proposed file name (may be empty).
    QString initialName;
    // The file types offered, the first one selected; empty offers every file.
    std::vector<FileFilter> filters;
    // Ask before an existing file is overwritten (save dialogs).
    bool overwritePrompt = true;
    // Folder to start in; empty lets the dialog choose.
    QString startFolder;
};

// The file types as Qt name filters: {"DataNivra(*.dax)", "*.dax"} gives "DataNivra(*.dax)",
// {"CSV", "*.csv;*.txt"} gives "CSV (*.csv *.txt)". A description that already names its
// patterns in parentheses is kept as it is.
QStringList toQtNameFilters(const std::vector<FileFilter>& filters);

// path with ext appended when its file name has no extension ("a" -> "a.dax", "a.txt" stays).
QString withDefaultExtension(const QString& path, const QString& ext);

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box with the given buttons; sound plays before it shows. Returns the
    // button pressed (Ok for an OK-only box).
    virtual Answer messageBox(const QString& text, MessageButtons buttons, Sound sound) = 0;

    // The open or save-as dialog: the full path chosen, or nothing when the operator cancelled.
    virtual std::optional<QString> fileDialog(const FileDialogRequest& request) = 0;

    // The print dialog on a printer the caller has prepared (orientation and the like). Returns
    // true when the operator confirmed; the printer then holds the choices.
    virtual bool printDialog(QPrinter& printer) = 0;

    // A message with an OK button.
    void tell(const QString& text) { messageBox(text, MessageButtons::Ok, Sound::None); }
    // A question; the answer.
    Answer ask(const QString& text, MessageButtons buttons, Sound sound = Sound::None) {
        return messageBox(text, buttons, sound);
    }
};

// The real dialogs, parented to the active window. A file dialog whose request names no folder
// opens where files of its kind were last chosen, at first in the start directory (without one,
// where the dialog chooses).
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(std::optional<nivra::StartDirectory> startDirectory = std::nullopt);
    ~QtPrompts() override;
    Answer messageBox(const QString& text, MessageButtons buttons, Sound sound) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    bool printDialog(QPrinter& printer) override;

private:
    std::unique_ptr<FileFolders> folders_;
    const QString startFolder_;
};

} // namespace nivra::ui
