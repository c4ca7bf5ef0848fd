#include "ui/controls/template_dialog.h"

#include "ui/controls/return_escape_guard.h"
#include "ui/resources/dialog_units.h"

namespace nivra::ui {

Qt::WindowFlags templateWindowFlags(const nivra::res::DialogTemplate& dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialog.styles & nivra::res::kDialogSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.styles & nivra::res::kDialogMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

TemplateDialog::TemplateDialog(const nivra::res::DialogTemplate& dialog, QWidget* parent)
    : QDialog(parent) {
    setWindowFlags(templateWindowFlags(dialog));
    setWindowTitle(QString::fromUtf8(dialog.caption));
    setFont(nivra::res::dialogFont(dialog));
    form_ = new TemplateForm(dialog, this);
    form_->move(0, 0);
    setFixedSize(form_->templateSize());
    guard_ = new ReturnEscapeGuard(this);
}

TemplateDialog::~TemplateDialog() = default;

void TemplateDialog::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        form_->focusFirstControl();
    }
    QDialog::showEvent(event);
}

void TemplateDialog::setBackgroundColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color); // edits and list boxes share the background
    setPalette(palette);
    setAutoFillBackground(true);
}

void TemplateDialog::setReturnEscapeGuard(bool on) {
    if (on && !guard_) {
        guard_ = new ReturnEscapeGuard(this);
    } else if (!on && guard_) {
        delete guard_;
        guard_ = nullptr;
    }
}

} // namespace nivra::ui
