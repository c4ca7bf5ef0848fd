#include "prompt_script.h"

#include <QPrinter>
#include <cstdio>
#include <cstdlib>

namespace nivra::test {

namespace {

const char* buttonsName(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return "OK";
    case MessageButtons::OkCancel:
        return "OK/Cancel";
    case MessageButtons::YesNo:
        return "Yes/No";
    case MessageButtons::YesNoCancel:
        return "Yes/No/Cancel";
    }
    return "?";
}

const char* answerName(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "?";
}

bool answerFits(Answer answer, MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return answer == Answer::Ok;
    case MessageButtons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    case MessageButtons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case MessageButtons::YesNoCancel:
        return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    }
    return false;
}

} // namespace

PromptScript::PromptScript()
    : onFailure_([](const QString& problem) {
          std::fprintf(stderr, "scripted prompts: %s\n", problem.toUtf8().constData());
          std::abort();
      }) {}

PromptScript::~PromptScript() = default;

PromptScript& PromptScript::reply(Answer answer) {
    ScriptedReply reply;
    reply.answer = answer;
    replies_.push_back(reply);
    return *this;
}

PromptScript& PromptScript::chooseFile(const QString& path) {
    ScriptedReply reply;
    reply.kind = Question::Kind::File;
    reply.file = path;
    replies_.push_back(reply);
    return *this;
}

PromptScript& PromptScript::cancelFile() {
    ScriptedReply reply;
    reply.kind = Question::Kind::File;
    reply.cancelled = true;
    replies_.push_back(reply);
    return *this;
}

PromptScript& PromptScript::confirmPrint(bool confirm) {
    ScriptedReply reply;
    reply.kind = Question::Kind::Print;
    reply.print = confirm;
    replies_.push_back(reply);
    return *this;
}

QStringList PromptScript::messageTexts() const {
    QStringList texts;
    for (const Question& q : questions_)
        if (q.kind == Question::Kind::Message)
            texts << q.text;
    return texts;
}

void PromptScript::clear() {
    replies_.clear();
    questions_.clear();
}

void PromptScript::fail(const QString& problem) {
    if (onFailure_)
        onFailure_(problem);
}

bool PromptScript::next(Question::Kind kind, const QString& what, ScriptedReply& reply) {
    if (replies_.empty()) {
        fail(QStringLiteral("no scripted reply left for %1").arg(what));
        return false;
    }
    if (replies_.front().kind != kind) {
        fail(QStringLiteral("the next scripted reply does not fit %1").arg(what));
        return false;
    }
    reply = replies_.front();
    replies_.pop_front();
    return true;
}

Answer PromptScript::messageBox(const QString& text, MessageButtons buttons, Sound sound) {
    Question question;
    question.kind = Question::Kind::Message;
    question.text = text;
    question.buttons = buttons;
    question.sound = sound;
    questions_.push_back(question);
    if (buttons == MessageButtons::Ok)
        return Answer::Ok;

    const QString what =
        QStringLiteral("the %1 message \"%2\"").arg(QLatin1String(buttonsName(buttons)), text);
    ScriptedReply reply;
    if (!next(Question::Kind::Message, what, reply))
        return safeAnswer(buttons);
    if (!answerFits(reply.answer, buttons)) {
        fail(QStringLiteral("the scripted answer %1 is not a button of %2")
                 .arg(QLatin1String(answerName(reply.answer)), what));
        return safeAnswer(buttons);
    }
    return reply.answer;
}

std::optional<QString> PromptScript::fileDialog(const FileDialogRequest& request) {
    Question question;
    question.kind = Question::Kind::File;
    question.text = request.initialName;
    question.file = request;
    questions_.push_back(question);
    const QString what =
        QStringLiteral("the %1 dialog with filter \"%2\"")
            .arg(request.mode == FileDialogRequest::Mode::Save ? QStringLiteral("save")
                                                               : QStringLiteral("open"),
                 toQtNameFilters(request.filters).join(QStringLiteral(";;")));
    ScriptedReply reply;
    if (!next(Question::Kind::File, what, reply) || reply.cancelled)
        return std::nullopt;
    return nivra::ui::withDefaultExtension(reply.file, request.defaultExtension);
}

bool PromptScript::printDialog(QPrinter&) {
    Question question;
    question.kind = Question::Kind::Print;
    questions_.push_back(question);
    ScriptedReply reply;
    return next(Question::Kind::Print, QStringLiteral("print"), reply) && reply.print;
}

} // namespace nivra::test
