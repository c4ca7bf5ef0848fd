#include "ui/controls/prompts.h"

#include "ui/controls/file_folders.h"
#include "ui/controls/narrow_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace nivra::ui {

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

} // namespace

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

// ---- the real dialogs ----

QtPrompts::QtPrompts(std::optional<nivra::StartDirectory> startDirectory)
    : folders_(std::make_unique<FileFolders>()),
      startFolder_(startDirectory ? fromNarrow(startDirectory->path()) : QString()) {}

QtPrompts::~QtPrompts() = default;

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
    const QString folder = folders_->folderFor(request, startFolder_);
    QFileDialog dialog(dialogParent(), save ? QObject::tr("Save As") : QObject::tr("Open"), folder);
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
    folders_->remember(request, chosen.first());
    return withDefaultExtension(chosen.first(), suffix);
}

bool QtPrompts::printDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace nivra::ui
