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
// file dialogs and the print dialog. Window code never opens such a dialog itself; it calls
// nivra::ui::prompts(). Production installs nothing and gets real Qt dialogs; tests install
// their own Prompts that answer from a script, so no test ever blocks on a dialog.
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
};

// The installed prompts: the scripted ones a test installed, otherwise the real dialogs.
Prompts& prompts();

// Installs prompts (nullptr restores the real dialogs) and returns the previously installed ones.
// The caller keeps ownership and must uninstall before destroying them.
Prompts* installPrompts(Prompts* prompts);

// Shortcuts for the common cases.
inline void showMessage(const QString& text) {
    nivra::ui::prompts().messageBox(text, MessageButtons::Ok, Sound::None);
}
inline Answer ask(const QString& text, MessageButtons buttons, Sound sound = Sound::None) {
    return nivra::ui::prompts().messageBox(text, buttons, sound);
}

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

// Installs prompts for the life of the object and restores the previous ones afterwards.
class PromptsScope {
public:
    explicit PromptsScope(Prompts& prompts) : previous_(installPrompts(&prompts)) {}
    ~PromptsScope() { installPrompts(previous_); }
    PromptsScope(const PromptsScope&) = delete;
    PromptsScope& operator=(const PromptsScope&) = delete;

private:
    Prompts* previous_;
};

} // namespace nivra::ui
