#include "controls/data_exchange.h"
#include "controls/control_text.h"
#include "controls/dialog_base.h"
#include "controls/narrow_text.h"
#include "controls/prompts.h"
#include "files/value_encoding.h"

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

void CDataExchange::Text(int id, std::uint32_t& value) {
    if (Skip())
        return;
    if (!saveAndValidate_) {
        nivra::ui::SetControlText(Field(id), QString::number(value));
        return;
    }
    const QString text = nivra::ui::ControlText(Field(id)).left(kNumberTextLimit);
    std::uint32_t read = 0;
    if (!nivra::ScanUnsignedDecimal(nivra::ui::ToNarrow(text), read)) {
        Fail(id, QStringLiteral("Enter a positive integer."));
        return;
    }
    value = read;
}

void CDataExchange::Text(int id, std::int32_t& value) {
    if (Skip())
        return;
    if (!saveAndValidate_) {
        nivra::ui::SetControlText(Field(id), QString::number(value));
        return;
    }
    const QString text = nivra::ui::ControlText(Field(id)).left(kNumberTextLimit);
    std::int32_t read = 0;
    if (!nivra::ScanInt(nivra::ui::ToNarrow(text), read)) {
        Fail(id, QStringLiteral("Enter an integer."));
        return;
    }
    value = read;
}

void CDataExchange::Text(int id, double& value) {
    if (Skip())
        return;
    if (!saveAndValidate_) {
        nivra::ui::SetControlText(Field(id),
                                  QString::fromStdString(nivra::FormatC("%.*g", 15, value)));
        return;
    }
    double read = 0.0;
    if (!nivra::ScanReal(nivra::ui::ToNarrow(nivra::ui::ControlText(Field(id))), read)) {
        Fail(id, QStringLiteral("Enter a number."));
        return;
    }
    value = read;
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
