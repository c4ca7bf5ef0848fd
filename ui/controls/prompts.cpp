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

CPrompts* installed = nullptr;

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

const char* ButtonsName(MessageButtons buttons) {
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

bool AnswerFits(Answer answer, MessageButtons buttons) {
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
Answer SafeAnswer(MessageButtons buttons) {
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

QStringList ToQtNameFilters(const std::vector<FileFilter>& filters) {
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

QString WithDefaultExtension(const QString& path, const QString& ext) {
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

CPrompts& Prompts() {
    static CQtPrompts real;
    return installed ? *installed : real;
}

CPrompts* InstallPrompts(CPrompts* prompts) {
    CPrompts* previous = installed;
    installed = prompts;
    return previous;
}

// ---- the real dialogs ----

Answer CQtPrompts::MessageBox(const QString& text, MessageButtons buttons, Sound sound) {
    if (sound == Sound::Exclamation)
        QApplication::beep();
    QMessageBox box(DialogParent());
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
        return SafeAnswer(buttons);
    }
}

std::optional<QString> CQtPrompts::FileDialog(const FileDialogRequest& request) {
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    QFileDialog dialog(DialogParent(), save ? QObject::tr("Save As") : QObject::tr("Open"),
                       request.startFolder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = ToQtNameFilters(request.filters);
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
    return WithDefaultExtension(chosen.first(), suffix);
}

bool CQtPrompts::PrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, DialogParent());
    return dialog.exec() == QDialog::Accepted;
}

// ---- the scripted prompts ----

CScriptedPrompts::CScriptedPrompts()
    : onFailure_([](const QString& problem) {
          std::fprintf(stderr, "scripted prompts: %s\n", problem.toUtf8().constData());
          std::abort();
      }) {}

CScriptedPrompts::~CScriptedPrompts() = default;

CScriptedPrompts& CScriptedPrompts::Reply(Answer answer) {
    ScriptedReply reply;
    reply.answer = answer;
    replies_.push_back(reply);
    return *this;
}

CScriptedPrompts& CScriptedPrompts::ChooseFile(const QString& path) {
    ScriptedReply reply;
    reply.kind = Question::Kind::File;
    reply.file = path;
    replies_.push_back(reply);
    return *this;
}

CScriptedPrompts& CScriptedPrompts::CancelFile() {
    ScriptedReply reply;
    reply.kind = Question::Kind::File;
    reply.cancelled = true;
    replies_.push_back(reply);
    return *this;
}

CScriptedPrompts& CScriptedPrompts::ConfirmPrint(bool confirm) {
    ScriptedReply reply;
    reply.kind = Question::Kind::Print;
    reply.print = confirm;
    replies_.push_back(reply);
    return *this;
}

QStringList CScriptedPrompts::MessageTexts() const {
    QStringList texts;
    for (const Question& q : questions_)
        if (q.kind == Question::Kind::Message)
            texts << q.text;
    return texts;
}

void CScriptedPrompts::Clear() {
    replies_.clear();
    questions_.clear();
}

void CScriptedPrompts::Fail(const QString& problem) {
    if (onFailure_)
        onFailure_(problem);
}

bool CScriptedPrompts::Next(Question::Kind kind, const QString& what, ScriptedReply& reply) {
    if (replies_.empty()) {
        Fail(QStringLiteral("no scripted reply left for %1").arg(what));
        return false;
    }
    if (replies_.front().kind != kind) {
        Fail(QStringLiteral("the next scripted reply does not fit %1").arg(what));
        return false;
    }
    reply = replies_.front();
    replies_.pop_front();
    return true;
}

Answer CScriptedPrompts::MessageBox(const QString& text, MessageButtons buttons, Sound sound) {
    Question question;
    question.kind = Question::Kind::Message;
    question.text = text;
    question.buttons = buttons;
    question.sound = sound;
    questions_.push_back(question);
    if (buttons == MessageButtons::Ok)
        return Answer::Ok;

    const QString what =
        QStringLiteral("the %1 message \"%2\"").arg(QLatin1String(ButtonsName(buttons)), text);
    ScriptedReply reply;
    if (!Next(Question::Kind::Message, what, reply))
        return SafeAnswer(buttons);
    if (!AnswerFits(reply.answer, buttons)) {
        Fail(QStringLiteral("the scripted answer %1 is not a button of %2")
                 .arg(static_cast<int>(reply.answer))
                 .arg(what));
        return SafeAnswer(buttons);
    }
    return reply.answer;
}

std::optional<QString> CScriptedPrompts::FileDialog(const FileDialogRequest& request) {
    Question question;
    question.kind = Question::Kind::File;
    question.text = request.initialName;
    question.file = request;
    questions_.push_back(question);
    const QString what =
        QStringLiteral("the %1 dialog with filter \"%2\"")
            .arg(request.mode == FileDialogRequest::Mode::Save ? QStringLiteral("save")
                                                               : QStringLiteral("open"),
                 ToQtNameFilters(request.filters).join(QStringLiteral(";;")));
    ScriptedReply reply;
    if (!Next(Question::Kind::File, what, reply) || reply.cancelled)
        return std::nullopt;
    return WithDefaultExtension(reply.file, request.defaultExtension);
}

bool CScriptedPrompts::PrintDialog(QPrinter&) {
    Question question;
    question.kind = Question::Kind::Print;
    questions_.push_back(question);
    ScriptedReply reply;
    return Next(Question::Kind::Print, QStringLiteral("print"), reply) && reply.print;
}

} // namespace nivra::ui
