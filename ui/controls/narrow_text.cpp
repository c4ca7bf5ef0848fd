#include "ui/controls/narrow_text.h"

#include "base/code_page.h"

namespace nivra::ui {

QString fromNarrow(const std::string& text) {
    const std::string utf8 = nivra::repairUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toNarrow(const QString& text) {
    return text.toStdString();
}

} // namespace nivra::ui
