#pragma once

#include "ui/controls/template_form.h"

#include <QColor>
#include <QDialog>

namespace nivra::ui {

class ReturnEscapeGuard;

// A dialog built from a template: the template's caption, window buttons and fixed size, its
// controls on a TemplateForm, and Return and Escape kept away from the dialog (they neither press
// a button nor close it) unless the dialog turns the guard off. On its first showing the focus
// goes to the first control that takes it. Everything else is the dialog's own: it takes its
// controls through its ui struct and connects their signals to its slots.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(const nivra::res::DialogTemplate& dialog, QWidget* parent);
    ~TemplateDialog() override;

    TemplateForm* form() const { return form_; }

    // Fills the dialog with a colour, which edits and list boxes take as their background too.
    void setBackgroundColor(const QColor& color);
    // Whether Return and Escape are swallowed (default true).
    void setReturnEscapeGuard(bool on);

protected:
    void showEvent(QShowEvent* event) override;

private:
    TemplateForm* form_;
    ReturnEscapeGuard* guard_ = nullptr;
    bool shown_ = false;
};

// The window flags of a template's window styles: caption, close box, minimise box.
Qt::WindowFlags templateWindowFlags(const nivra::res::DialogTemplate& dialog);

} // namespace nivra::ui
