#include "ui/controls/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>

namespace nivra::ui {

namespace {

Prompts* installed = nullptr;

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

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

// The answer that changes nothing: what closing the box would give.
Answer safeAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::YesNo:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace

QStringList toQtNameFilters(const std::vector<FileFilter>& filters) {
    QStringList result;
    for (const FileFilter& filter : filters) {
        const QString description = filter.description.trimmed();
        QString patterns = filter.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (description.endsWith(QLatin1Char(')')) &&
            description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

QString withDefaultExtension(const QString& path, const QString& ext) {
    QString suffix = ext;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (path.isEmpty() || suffix.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

Prompts& prompts() {
    static QtPrompts real;
    return installed ? *installed : real;
}

Prompts* installPrompts(Prompts* prompts) {
    Prompts* previous = installed;
    installed = prompts;
    return previous;
}

// ---- the real dialogs ----

Answer QtPrompts::messageBox(const QString& text, MessageButtons buttons, Sound sound) {
    if (sound == Sound::Exclamation)
        QApplication::beep();
    QMessageBox box(dialogParent());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(sound == Sound::Exclamation     ? QMessageBox::Warning
                : buttons == MessageButtons::Ok ? QMessageBox::NoIcon
                                                : QMessageBox::Question);
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return safeAnswer(buttons);
    }
}

std::optional<QString> QtPrompts::fileDialog(const FileDialogRequest& request) {
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    QFileDialog dialog(dialogParent(), save ? QObject::tr("Save As") : QObject::tr("Open"),
                       request.startFolder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = toQtNameFilters(request.filters);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.initialName.isEmpty()) {
        // A proposed name is a name, not a path: a slash from a description would otherwise
        // point the dialog into a folder.
        QString name = request.initialName;
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return withDefaultExtension(chosen.first(), suffix);
}

bool QtPrompts::printDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

// ---- the scripted prompts ----

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
                 .arg(static_cast<int>(reply.answer))
                 .arg(what));
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
    return withDefaultExtension(reply.file, request.defaultExtension);
}

bool PromptScript::printDialog(QPrinter&) {
    Question question;
    question.kind = Question::Kind::Print;
    questions_.push_back(question);
    ScriptedReply reply;
    return next(Question::Kind::Print, QStringLiteral("print"), reply) && reply.print;
}

} // namespace nivra::ui
