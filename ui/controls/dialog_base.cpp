#include "ui/controls/dialog_base.h"
#include "ui/controls/control_text.h"
#include "ui/controls/return_escape_guard.h"
#include "ui/resources/dialog_builder.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QResizeEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace nivra::ui {

DialogBase::DialogBase(int templateId, QWidget* parent) : QDialog(parent), templateId_(templateId) {
    const nivra::res::DialogTemplate* dialog = nivra::res::findDialogTemplate(templateId);
    if (!dialog) {
        // A missing template is a programming error that no run of the program can survive.
        std::fprintf(stderr, "no dialog template %d\n", templateId);
        std::abort();
    }

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialog->styles & nivra::res::kDialogSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog->styles & nivra::res::kDialogMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(dialog->caption));
    setFont(nivra::res::dialogFont(*dialog));
    const nivra::res::DialogBaseUnits units = nivra::res::baseUnitsForFont(font());

    int menuHeight = 0;
    if (dialog->menuId != 0) {
        if (const nivra::res::MenuTemplate* menu = nivra::res::findMenuTemplate(dialog->menuId)) {
            menu_ = new WindowMenu(*menu, this);
            menuHeight = menu_->bar()->sizeHint().height();
        }
    }

    const QRect clientRect = nivra::res::mapDialogRect(units, 0, 0, dialog->width, dialog->height);
    client_ = new QWidget(this);
    client_->setGeometry(0, menuHeight, clientRect.width(), clientRect.height());
    if (menu_)
        menu_->bar()->setGeometry(0, 0, clientRect.width(), menuHeight);
    setFixedSize(clientRect.width(), clientRect.height() + menuHeight);
    clientBase_ = clientRect.size();
    menuHeight_ = menuHeight;

    for (const nivra::res::BuiltControl& built :
         nivra::res::buildControls(*dialog, client_, units)) {
        placed_.push_back({built.source, built.widget, built.widget->geometry(), {}});
        const int id = built.source->id;
        if (built.widget->focusPolicy() != Qt::NoFocus)
            tabOrder_.push_back(built.widget);
        if (id == nivra::res::kNoId)
            continue;
        controls_[id] = built.widget;
        connectNotifications(id, built.widget);
    }

    guard_ = new ReturnEscapeGuard(this);
}

DialogBase::~DialogBase() = default;

void DialogBase::connectNotifications(int id, QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { dispatchCommand(id); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textChanged, this, [this, id] {
            auto it = notifications_.find({id, Notification::Changed});
            if (it != notifications_.end())
                it->second();
        });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, id] {
            auto it = notifications_.find({id, Notification::SelectionChanged});
            if (it != notifications_.end())
                it->second();
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, id] {
            auto it = notifications_.find({id, Notification::DoubleClicked});
            if (it != notifications_.end())
                it->second();
        });
    }
}

QWidget* DialogBase::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QString DialogBase::itemText(int id) const {
    return nivra::ui::controlText(control(id));
}

void DialogBase::setItemText(int id, const QString& text) {
    nivra::ui::setControlText(control(id), text);
}

void DialogBase::enableItem(int id, bool enabled) {
    if (QWidget* control = this->control(id))
        control->setEnabled(enabled);
}

void DialogBase::onCommand(int id, Handler handler) {
    commands_[id] = std::move(handler);
}

void DialogBase::onCommandRange(int first, int last, std::function<void(int)> handler) {
    commandRanges_.push_back({first, last, std::move(handler)});
}

bool DialogBase::dispatchCommand(int id) {
    auto it = commands_.find(id);
    if (it != commands_.end()) {
        // A copy: the handler may replace its own entry.
        Handler handler = it->second;
        handler();
        return true;
    }
    for (const Range& range : commandRanges_) {
        if (id >= range.first && id <= range.last) {
            auto handler = range.handler;
            handler(id);
            return true;
        }
    }
    if (id == nivra::res::kIdOk) {
        onOK();
        return true;
    }
    if (id == nivra::res::kIdCancel) {
        onCancel();
        return true;
    }
    return false;
}

void DialogBase::onNotify(int id, Notification code, Handler handler) {
    notifications_[{id, code}] = std::move(handler);
}

bool DialogBase::updateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    doDataExchange(dx);
    return !dx.failed();
}

void DialogBase::doDataExchange(DataExchange&) {}

void DialogBase::initDialog() {
    if (initialised_)
        return;
    initialised_ = true;
    if (onInitDialog()) {
        for (QWidget* widget : tabOrder_) {
            if (widget->isEnabled()) {
                widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

bool DialogBase::onInitDialog() {
    updateData(false);
    return true;
}

void DialogBase::onOK() {
    if (!updateData(true))
        return;
    accept();
}

void DialogBase::onCancel() {
    QDialog::reject();
}

void DialogBase::reject() {
    onCancel();
}

void DialogBase::showEvent(QShowEvent* event) {
    initDialog();
    QDialog::showEvent(event);
}

void DialogBase::makeResizable(const StretchRule& rule) {
    for (Placed& placed : placed_)
        placed.stretch = rule(*placed.source);
    resizable_ = true;
    setMinimumSize(clientBase_.width(), clientBase_.height() + menuHeight_);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void DialogBase::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!resizable_)
        return;
    const QSize client(std::max(width(), clientBase_.width()),
                       std::max(height() - menuHeight_, clientBase_.height()));
    client_->setGeometry(0, menuHeight_, client.width(), client.height());
    if (menu_)
        menu_->bar()->setGeometry(0, 0, client.width(), menuHeight_);
    const int extraWidth = client.width() - clientBase_.width();
    const int extraHeight = client.height() - clientBase_.height();
    for (const Placed& placed : placed_)
        placed.widget->setGeometry(
            nivra::res::stretchedRect(placed.base, placed.stretch, extraWidth, extraHeight));
}

void DialogBase::setBackgroundColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color); // edits and list boxes share the background
    setPalette(palette);
    setAutoFillBackground(true);
}

void DialogBase::setReturnEscapeGuard(bool on) {
    if (on && !guard_) {
        guard_ = new ReturnEscapeGuard(this);
    } else if (!on && guard_) {
        delete guard_;
        guard_ = nullptr;
    }
}

} // namespace nivra::ui
