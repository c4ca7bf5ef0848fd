#include "ui/dialogs/save_report_qt.h"

#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

namespace nivra::ui {

QString FileNotSavedMessage(const QString& path) {
    return QStringLiteral("File not saved: ") + path;
}

void ReportSave(bool written, const QString& successText, const std::string& path) {
    ShowMessage(written ? successText : FileNotSavedMessage(FromNarrow(path)));
}

} // namespace nivra::ui
