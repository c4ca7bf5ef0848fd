#include "files/save_report_qt.h"

#include "controls/narrow_text.h"
#include "controls/prompts.h"

namespace nivra::ui {

QString FileNotSavedMessage(const QString& path) {
    return QStringLiteral("File not saved: ") + path;
}

void ReportSave(bool written, const QString& successText, const std::string& path) {
    ShowMessage(written ? successText : FileNotSavedMessage(FromNarrow(path)));
}

} // namespace nivra::ui
