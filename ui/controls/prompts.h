#pragma once

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
// nivra::ui::prompts(). Production installs nothing and gets real Qt dialogs; tests install a
// PromptScript that answers from a script and records every question, so no test ever blocks
// on a dialog.
namespace nivra::ui {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// The answers, numbered as the dialog commands are (1 OK, 2 Cancel, 6 Yes, 7 No).
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

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

// The real dialogs, parented to the active window.
class QtPrompts : public Prompts {
public:
    Answer messageBox(const QString& text, MessageButtons buttons, Sound sound) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    bool printDialog(QPrinter& printer) override;
};

// Prompts that answer from a script and record every question, for tests.
//
// Questions (OK/Cancel, Yes/No, Yes/No/Cancel boxes), file dialogs and print dialogs take the
// next scripted reply, in order; OK-only message boxes need no reply and are answered OK. A
// question with no reply left, or whose next reply is of another kind (a file where a message
// answer was due) or not one of its buttons, is reported through the failure handler and
// answered with the safe choice (Cancel, No, no file, no printing) so the code under test goes
// on without blocking. The default failure handler prints the problem and aborts the process.
class PromptScript : public Prompts {
public:
    struct Question {
        enum class Kind { Message, File, Print };
        Kind kind = Kind::Message;
        QString text; // message text; for a file dialog its initial name
        MessageButtons buttons = MessageButtons::Ok;
        Sound sound = Sound::None;
        FileDialogRequest file;
    };

    using FailureHandler = std::function<void(const QString& problem)>;

    PromptScript();
    ~PromptScript() override;

    // Script the next replies.
    PromptScript& reply(Answer answer);
    PromptScript& chooseFile(const QString& path);
    PromptScript& cancelFile();
    PromptScript& confirmPrint(bool confirm = true);

    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

    const std::vector<Question>& questions() const { return questions_; }
    // The texts of all message boxes shown, in order.
    QStringList messageTexts() const;
    std::size_t pendingReplies() const { return replies_.size(); }
    void clear();

    Answer messageBox(const QString& text, MessageButtons buttons, Sound sound) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    bool printDialog(QPrinter& printer) override;

private:
    struct ScriptedReply {
        Question::Kind kind = Question::Kind::Message;
        Answer answer = Answer::Ok;
        QString file;
        bool cancelled = false;
        bool print = false;
    };
    // Takes the next reply when it is of the kind asked; reports the failure otherwise.
    bool next(Question::Kind kind, const QString& what, ScriptedReply& reply);
    void fail(const QString& problem);

    std::deque<ScriptedReply> replies_;
    std::vector<Question> questions_;
    FailureHandler onFailure_;
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
