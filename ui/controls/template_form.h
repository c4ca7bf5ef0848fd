#pragma once

#include "ui/resources/control_stretch.h"
#include "ui/resources/dialog_builder.h"
#include "ui/resources/ui_binding.h"

#include <QWidget>
#include <functional>
#include <vector>

namespace nivra::ui {

// The client area of a window built from a dialog template: the template's font, its controls
// placed at their converted positions, and its size as the area's own. The window's code takes
// the controls it works with through its ui struct (bind) and connects their own signals.
//
//     TemplateForm* form = new TemplateForm(nivra::res::aboutTemplate(), this);
//     ui_ = form->bind<AboutUi>();
//     connect(ui_.ok, &QPushButton::clicked, this, &QDialog::accept);
class TemplateForm : public QWidget {
    Q_OBJECT
public:
    TemplateForm(const nivra::res::DialogTemplate& dialog, QWidget* parent);
    ~TemplateForm() override;

    // The ui struct whose members the template's rows name.
    template <class Ui> Ui bind() const { return nivra::res::bindControls<Ui>(built_); }

    // Every control with the row it was built from, in template (tab) order.
    const std::vector<nivra::res::BuiltControl>& controls() const { return built_; }
    // The area's size at the template's size, its smallest.
    QSize templateSize() const { return templateSize_; }

    // Gives the focus to the first enabled control that takes it.
    void focusFirstControl();

    // Lets the area grow beyond the template's size: each control follows the extra room as
    // `rule` says for its template row.
    using StretchRule =
        std::function<nivra::res::ControlStretch(const nivra::res::ControlTemplate&)>;
    void makeStretchable(const StretchRule& rule);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<nivra::res::BuiltControl> built_;
    // Each control's place at the template's size and how it follows extra room.
    std::vector<QRect> base_;
    std::vector<nivra::res::ControlStretch> stretch_;
    QSize templateSize_;
};

} // namespace nivra::ui
