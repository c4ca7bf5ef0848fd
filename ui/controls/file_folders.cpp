#include "ui/controls/file_folders.h"

#include <QFileInfo>

namespace nivra::ui {

QString FileFolders::kindOf(const FileDialogRequest& request) {
    if (!request.filters.empty())
        return request.filters.front().patterns.trimmed().toLower();
    // Spelled as a pattern, so a dialog without types shares its folder with one offering them.
    QString extension = request.defaultExtension.trimmed().toLower();
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    return QStringLiteral("*.") + extension;
}

QString FileFolders::folderFor(const FileDialogRequest& request, const QString& fallback) const {
    if (!request.startFolder.isEmpty())
        return request.startFolder;
    const auto found = folders_.find(kindOf(request));
    return found != folders_.end() ? found->second : fallback;
}

void FileFolders::remember(const FileDialogRequest& request, const QString& path) {
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    if (!folder.isEmpty())
        folders_[kindOf(request)] = folder;
}

} // namespace nivra::ui
