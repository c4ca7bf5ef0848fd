#include "ui/controls/narrow_text.h"

#include "base/code_page.h"

namespace nivra::ui {

QString FromNarrow(const std::string& text) {
    const std::string utf8 = nivra::RepairUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToNarrow(const QString& text) {
    return text.toStdString();
}

} // namespace nivra::ui
