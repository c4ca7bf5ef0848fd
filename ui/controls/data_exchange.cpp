#include "ui/controls/data_exchange.h"
#include "base/value_encoding.h"
#include "ui/controls/control_text.h"
#include "ui/controls/dialog_base.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace nivra::ui {

namespace {

// The C input conversions read at most this many characters of an edit.
constexpr int kNumberTextLimit = 63;

} // namespace

QWidget* DataExchange::field(int id) const {
    return dialog_.control(id);
}

void DataExchange::fail(int id, const QString& message) {
    failed_ = true;
    nivra::ui::showMessage(message);
    QWidget* field = this->field(id);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

void DataExchange::text(int id, QString& value) {
    if (skip())
        return;
    if (saveAndValidate_)
        value = nivra::ui::controlText(field(id));
    else
        nivra::ui::setControlText(field(id), value);
}

void DataExchange::text(int id, std::string& value) {
    if (skip())
        return;
    if (saveAndValidate_)
        value = nivra::ui::toNarrow(nivra::ui::controlText(field(id)));
    else
        nivra::ui::setControlText(field(id), nivra::ui::fromNarrow(value));
}

// A number field: shown with show, read back from the first characters of the edit with scan;
// a text that does not convert brings message and ends the reading at this field.
template <typename Value, typename Show, typename Scan>
void DataExchange::numberText(int id, Value& value, Show show, Scan scan, const QString& message,
                              int textLimit) {
    if (skip())
        return;
    if (!saveAndValidate_) {
        nivra::ui::setControlText(field(id), show(value));
        return;
    }
    QString text = nivra::ui::controlText(field(id));
    if (textLimit > 0)
        text = text.left(textLimit);
    Value read{};
    if (!scan(nivra::ui::toNarrow(text), read)) {
        fail(id, message);
        return;
    }
    value = read;
}

void DataExchange::text(int id, std::uint32_t& value) {
    numberText(
        id, value, [](std::uint32_t v) { return QString::number(v); }, nivra::scanUnsignedDecimal,
        QStringLiteral("Enter a positive integer."), kNumberTextLimit);
}

void DataExchange::wholeNumber(int id, std::uint32_t& value) {
    numberText(
        id, value, [](std::uint32_t v) { return QString::number(v); }, nivra::parseWholeNumber,
        QStringLiteral("Enter a positive integer."), kNumberTextLimit);
}

void DataExchange::text(int id, std::int32_t& value) {
    numberText(
        id, value, [](std::int32_t v) { return QString::number(v); }, nivra::scanInt,
        QStringLiteral("Enter an integer."), kNumberTextLimit);
}

void DataExchange::text(int id, double& value) {
    numberText(
        id, value, [](double v) { return QString::fromStdString(nivra::formatC("%.*g", 15, v)); },
        nivra::scanReal, QStringLiteral("Enter a number."), 0);
}

void DataExchange::check(int id, bool& value) {
    if (skip())
        return;
    auto* button = qobject_cast<QAbstractButton*>(field(id));
    if (!button)
        return;
    if (saveAndValidate_)
        value = button->isChecked();
    else
        button->setChecked(value);
}

} // namespace nivra::ui
