#pragma once

#include "ui/controls/prompts.h"

#include <QString>
#include <map>

namespace nivra::ui {

// Where a file dialog opens when its caller names no folder: where the operator last opened or
// saved a file of the same kind (the same first file type; without types, the same default
// extension), else in the start directory. Data files, CSV exports and configurations each keep
// their own folder, so choosing an assay configuration does not send the next data file's
// dialog into the configurations' folder.
class FileFolders {
public:
    // The folder for the request: its own when it names one, else the remembered one, else
    // `fallback`.
    QString folderFor(const FileDialogRequest& request, const QString& fallback) const;
    // The operator chose `path` in the request's dialog: its folder is remembered for the kind.
    void remember(const FileDialogRequest& request, const QString& path);

private:
    static QString kindOf(const FileDialogRequest& request);

    std::map<QString, QString> folders_;
};

} // namespace nivra::ui
