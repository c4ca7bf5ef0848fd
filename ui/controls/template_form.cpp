#include "ui/controls/template_form.h"

#include "ui/resources/dialog_units.h"

#include <QResizeEvent>

namespace nivra::ui {

TemplateForm::TemplateForm(const nivra::res::DialogTemplate& dialog, QWidget* parent)
    : QWidget(parent) {
    setFont(nivra::res::dialogFont(dialog));
    const nivra::res::DialogBaseUnits units = nivra::res::baseUnitsForFont(font());
    templateSize_ = nivra::res::mapDialogRect(units, 0, 0, dialog.width, dialog.height).size();
    resize(templateSize_);
    built_ = nivra::res::buildControls(dialog, this, units);
    for (const nivra::res::BuiltControl& control : built_)
        base_.push_back(control.widget->geometry());
}

TemplateForm::~TemplateForm() = default;

void TemplateForm::focusFirstControl() {
    for (const nivra::res::BuiltControl& control : built_) {
        QWidget* widget = control.widget;
        if (widget->focusPolicy() != Qt::NoFocus && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TemplateForm::makeStretchable(const StretchRule& rule) {
    stretch_.clear();
    for (const nivra::res::BuiltControl& control : built_)
        stretch_.push_back(rule(*control.source));
    setMinimumSize(templateSize_);
}

void TemplateForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (stretch_.empty())
        return;
    const int extraWidth = width() - templateSize_.width();
    const int extraHeight = height() - templateSize_.height();
    for (std::size_t i = 0; i < built_.size(); ++i)
        built_[i].widget->setGeometry(
            nivra::res::stretchedRect(base_[i], stretch_[i], extraWidth, extraHeight));
}

} // namespace nivra::ui
