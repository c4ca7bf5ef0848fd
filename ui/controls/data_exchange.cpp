#include "ui/controls/data_exchange.h"
#include "base/value_encoding.h"
#include "ui/controls/control_text.h"
#include "ui/controls/dialog_base.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace {

// The C input conversions read at most this many characters of an edit.
constexpr int kNumberTextLimit = 63;

} // namespace

QWidget* CDataExchange::Field(int id) const {
    return dialog_.Control(id);
}

void CDataExchange::Fail(int id, const QString& message) {
    failed_ = true;
    nivra::ui::ShowMessage(message);
    QWidget* field = Field(id);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

void CDataExchange::Text(int id, QString& value) {
    if (Skip())
        return;
    if (saveAndValidate_)
        value = nivra::ui::ControlText(Field(id));
    else
        nivra::ui::SetControlText(Field(id), value);
}

void CDataExchange::Text(int id, std::string& value) {
    if (Skip())
        return;
    if (saveAndValidate_)
        value = nivra::ui::ToNarrow(nivra::ui::ControlText(Field(id)));
    else
        nivra::ui::SetControlText(Field(id), nivra::ui::FromNarrow(value));
}

// A number field: shown with show, read back from the first characters of the edit with scan;
// a text that does not convert brings message and ends the reading at this field.
template <typename Value, typename Show, typename Scan>
void CDataExchange::NumberText(int id, Value& value, Show show, Scan scan, const QString& message,
                               int textLimit) {
    if (Skip())
        return;
    if (!saveAndValidate_) {
        nivra::ui::SetControlText(Field(id), show(value));
        return;
    }
    QString text = nivra::ui::ControlText(Field(id));
    if (textLimit > 0)
        text = text.left(textLimit);
    Value read{};
    if (!scan(nivra::ui::ToNarrow(text), read)) {
        Fail(id, message);
        return;
    }
    value = read;
}

void CDataExchange::Text(int id, std::uint32_t& value) {
    NumberText(
        id, value, [](std::uint32_t v) { return QString::number(v); }, nivra::ScanUnsignedDecimal,
        QStringLiteral("Enter a positive integer."), kNumberTextLimit);
}

void CDataExchange::Text(int id, std::int32_t& value) {
    NumberText(
        id, value, [](std::int32_t v) { return QString::number(v); }, nivra::ScanInt,
        QStringLiteral("Enter an integer."), kNumberTextLimit);
}

void CDataExchange::Text(int id, double& value) {
    NumberText(
        id, value, [](double v) { return QString::fromStdString(nivra::FormatC("%.*g", 15, v)); },
        nivra::ScanReal, QStringLiteral("Enter a number."), 0);
}

void CDataExchange::Check(int id, bool& value) {
    if (Skip())
        return;
    auto* button = qobject_cast<QAbstractButton*>(Field(id));
    if (!button)
        return;
    if (saveAndValidate_)
        value = button->isChecked();
    else
        button->setChecked(value);
}
