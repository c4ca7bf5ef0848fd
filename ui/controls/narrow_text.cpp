#include "ui/controls/narrow_text.h"

#include <QStringDecoder>

namespace nivra::ui {

QString FromNarrow(const std::string& text) {
    QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString result = decoder.decode(bytes);
    if (!decoder.hasError())
        return result;
    return QString::fromLatin1(bytes);
}

std::string ToNarrow(const QString& text) {
    return text.toStdString();
}

} // namespace nivra::ui
