#pragma once

#include "ui/controls/prompts.h"

#include <deque>
#include <functional>
#include <vector>

namespace nivra::test {

using nivra::ui::Answer;
using nivra::ui::FileDialogRequest;
using nivra::ui::MessageButtons;
using nivra::ui::Sound;

// Prompts that answer from a script and record every question, for tests.
//
// Questions (OK/Cancel, Yes/No, Yes/No/Cancel boxes), file dialogs and print dialogs take the
// next scripted reply, in order; OK-only message boxes need no reply and are answered OK. A
// question with no reply left, or whose next reply is of another kind (a file where a message
// answer was due) or not one of its buttons, is reported through the failure handler and
// answered with the safe choice (Cancel, No, no file, no printing) so the code under test goes
// on without blocking. The default failure handler prints the problem and aborts the process.
class PromptScript : public nivra::ui::Prompts {
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

} // namespace nivra::test
