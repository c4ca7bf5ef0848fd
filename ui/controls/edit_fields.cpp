#include "ui/controls/edit_fields.h"

#include "base/value_encoding.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

#include <QLineEdit>

namespace nivra::ui {

namespace {

// The C input conversions read at most this many characters of an edit.
constexpr int kNumberTextLimit = 63;

template <typename Value, typename Scan>
bool readNumber(Prompts& prompts, QLineEdit* edit, Value& value, Scan scan, const QString& message,
                int limit) {
    QString text = edit->text();
    if (limit > 0)
        text = text.left(limit);
    Value read{};
    if (!scan(toNarrow(text), read)) {
        refuseField(prompts, edit, message);
        return false;
    }
    value = read;
    return true;
}

} // namespace

void showNumber(QLineEdit* edit, std::uint32_t value) {
    edit->setText(QString::number(value));
}

void showNumber(QLineEdit* edit, std::int32_t value) {
    edit->setText(QString::number(value));
}

void showNumber(QLineEdit* edit, double value) {
    edit->setText(QString::fromStdString(nivra::formatC("%.*g", 15, value)));
}

void showText(QLineEdit* edit, const std::string& value) {
    edit->setText(fromNarrow(value));
}

std::string readText(const QLineEdit* edit) {
    return toNarrow(edit->text());
}

bool readUnsigned(Prompts& prompts, QLineEdit* edit, std::uint32_t& value) {
    return readNumber(prompts, edit, value, nivra::scanUnsignedDecimal,
                      QStringLiteral("Enter a positive integer."), kNumberTextLimit);
}

bool readWholeNumber(Prompts& prompts, QLineEdit* edit, std::uint32_t& value) {
    return readNumber(prompts, edit, value, nivra::parseWholeNumber,
                      QStringLiteral("Enter a positive integer."), kNumberTextLimit);
}

bool readInteger(Prompts& prompts, QLineEdit* edit, std::int32_t& value) {
    return readNumber(prompts, edit, value, nivra::scanInt, QStringLiteral("Enter an integer."),
                      kNumberTextLimit);
}

bool readReal(Prompts& prompts, QLineEdit* edit, double& value) {
    return readNumber(prompts, edit, value, nivra::scanReal, QStringLiteral("Enter a number."), 0);
}

void refuseField(Prompts& prompts, QLineEdit* edit, const QString& message) {
    prompts.tell(message);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

} // namespace nivra::ui
