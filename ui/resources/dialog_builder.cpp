#include "ui/resources/dialog_builder.h"
#include "ui/controls/edit_with_border.h"
#include "ui/controls/list_box_with_border.h"
#include "ui/controls/multiline_button.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/chart_widget.h"
#include "ui/resources/app_icon.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>

using nivra::ui::ChartWidget;
using nivra::ui::EditWithBorder;
using nivra::ui::ListBoxWithBorder;
using nivra::ui::RangeSlider;

namespace nivra::res {

namespace {

constexpr int kIconSize = 32;

bool has(const ControlTemplate& c, std::uint32_t style) {
    return (c.styles & style) != 0;
}

QWidget* createEdit(const ControlTemplate& c, QWidget* parent) {
    QLineEdit* edit = has(c, kStyleStaticEdge) ? new EditWithBorder(parent) : new QLineEdit(parent);
    edit->setReadOnly(has(c, kStyleReadOnly));
    if (has(c, kStyleDigitsOnly))
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QWidget* createListBox(const ControlTemplate& c, QWidget* parent) {
    QListWidget* list =
        has(c, kStyleStaticEdge) ? new ListBoxWithBorder(parent) : new QListWidget(parent);
    if (!has(c, kStyleStaticEdge) && !has(c, kStyleBorder))
        list->setFrameStyle(QFrame::NoFrame);
    list->setSelectionMode(has(c, kStyleNoSelection) ? QAbstractItemView::NoSelection
                                                     : QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(has(c, kStyleVScroll) ? Qt::ScrollBarAsNeeded
                                                           : Qt::ScrollBarAlwaysOff);
    // Whole values, never "10:…": an entry wider than the list gets a horizontal scroll bar.
    // Entries are measured one by one (not all as wide as the first), so the widest counts.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

QWidget* createLabel(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(c.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((has(c, kStyleRightAlign) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QWidget* createButton(const ControlTemplate& c, QWidget* parent) {
    const QString text = QString::fromUtf8(c.text);
    QPushButton* button = has(c, kStyleMultiline) ? new nivra::ui::MultilineButton(text, parent)
                                                  : new QPushButton(text, parent);
    // Return never presses a button by itself; the default button is only marked.
    button->setAutoDefault(false);
    button->setDefault(has(c, kStyleDefaultButton));
    return button;
}

} // namespace

QWidget* createControl(const ControlTemplate& c, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (c.kind) {
    case ControlKind::PushButton:
        widget = createButton(c, parent);
        break;
    case ControlKind::Label:
        widget = createLabel(c, parent);
        break;
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(QString::fromUtf8(c.text), parent);
        if (has(c, kStyleCentreTitle))
            group->setAlignment(Qt::AlignHCenter);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->setFocusPolicy(Qt::NoFocus);
        widget = group;
        break;
    }
    case ControlKind::Edit:
        widget = createEdit(c, parent);
        break;
    case ControlKind::ListBox:
        widget = createListBox(c, parent);
        break;
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(QString::fromUtf8(c.text), parent);
        widget = box;
        break;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        widget = bar;
        break;
    }
    case ControlKind::Icon: {
        auto* icon = new QLabel(parent);
        icon->setPixmap(appIconPixmap(kIconSize));
        widget = icon;
        break;
    }
    case ControlKind::RangeSlider:
        widget = new RangeSlider(parent);
        break;
    case ControlKind::Chart:
        widget = new ChartWidget(parent);
        break;
    }
    return widget;
}

std::vector<BuiltControl> buildControls(const DialogTemplate& dialog, QWidget* parent,
                                        const DialogBaseUnits& units) {
    std::vector<BuiltControl> built;
    built.reserve(dialog.controls.size());
    QWidget* previous = nullptr;
    for (const ControlTemplate& c : dialog.controls) {
        QWidget* widget = createControl(c, parent);
        QRect rect = mapDialogRect(units, c.x, c.y, c.width, c.height);
        if (c.kind == ControlKind::Icon)
            rect.setSize(QSize(kIconSize, kIconSize)); // an icon control takes the icon's size
        widget->setGeometry(rect);
        if (previous && widget->focusPolicy() != Qt::NoFocus)
            QWidget::setTabOrder(previous, widget);
        if (widget->focusPolicy() != Qt::NoFocus)
            previous = widget;
        built.push_back({&c, widget});
    }
    // Frames go beneath the controls they surround, whatever their place in the template.
    for (auto it = built.rbegin(); it != built.rend(); ++it)
        if (it->source->kind == ControlKind::GroupBox)
            it->widget->lower();
    return built;
}

} // namespace nivra::res
