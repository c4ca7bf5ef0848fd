#include "ui/dialogs/save_report_qt.h"

#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

namespace nivra::ui {

QString fileNotSavedMessage(const QString& path) {
    return QStringLiteral("File not saved: ") + path;
}

void reportSave(bool written, const QString& successText, const std::string& path) {
    showMessage(written ? successText : fileNotSavedMessage(fromNarrow(path)));
}

} // namespace nivra::ui
