#include "ui/resources/dialog_units.h"
#include "ui/resources/dialog_template.h"

#include <QFontMetrics>
#include <cstdint>

namespace nivra::res {

DialogBaseUnits baseUnitsForFont(const QFont& font) {
    QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

int mulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t p = product < 0 ? -product : product;
    const std::int64_t d = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t q = (p + d / 2) / d;
    return static_cast<int>(negative ? -q : q);
}

QRect mapDialogRect(const DialogBaseUnits& units, int x, int y, int width, int height) {
    const int left = mulDiv(x, units.width, 4);
    const int top = mulDiv(y, units.height, 8);
    const int right = mulDiv(x + width, units.width, 4);
    const int bottom = mulDiv(y + height, units.height, 8);
    return QRect(left, top, right - left, bottom - top);
}

QFont dialogFont(const DialogTemplate& dialog) {
    QFont font(QString::fromUtf8(dialog.fontFace));
    font.setPointSize(dialog.fontPointSize);
    // The named faces are those of another platform; let the font system pick its nearest sans.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace nivra::res
