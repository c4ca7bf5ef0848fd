#include "ui/dialogs/save_report_qt.h"

#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

namespace nivra::ui {

QString fileNotSavedMessage(const QString& path, const QString& reason) {
    QString message = QStringLiteral("File not saved: ") + path;
    if (!reason.isEmpty())
        message += QLatin1Char('\n') + reason;
    return message;
}

void reportSave(Prompts& prompts, const nivra::Outcome& written, const QString& successText,
                const std::string& path) {
    prompts.tell(written ? successText
                         : fileNotSavedMessage(fromNarrow(path), fromNarrow(written.error())));
}

} // namespace nivra::ui
