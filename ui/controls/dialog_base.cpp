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
#include <cstdio>
#include <cstdlib>

CDialogBase::CDialogBase(int templateId, QWidget* parent)
    : QDialog(parent), templateId_(templateId) {
    const nivra::res::DialogTemplate* dialog = nivra::res::FindDialogTemplate(templateId);
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
    setFont(nivra::res::DialogFont(*dialog));
    const nivra::res::DialogBaseUnits units = nivra::res::BaseUnitsForFont(font());

    int menuHeight = 0;
    if (dialog->menuId != 0) {
        if (const nivra::res::MenuTemplate* menu = nivra::res::FindMenuTemplate(dialog->menuId)) {
            menu_ = new CWindowMenu(*menu, this);
            menuHeight = menu_->Bar()->sizeHint().height();
        }
    }

    const QRect clientRect = nivra::res::MapDialogRect(units, 0, 0, dialog->width, dialog->height);
    client_ = new QWidget(this);
    client_->setGeometry(0, menuHeight, clientRect.width(), clientRect.height());
    if (menu_)
        menu_->Bar()->setGeometry(0, 0, clientRect.width(), menuHeight);
    setFixedSize(clientRect.width(), clientRect.height() + menuHeight);

    for (const nivra::res::BuiltControl& built :
         nivra::res::BuildControls(*dialog, client_, units)) {
        const int id = built.source->id;
        if (built.widget->focusPolicy() != Qt::NoFocus)
            tabOrder_.push_back(built.widget);
        if (id == nivra::res::kNoId)
            continue;
        controls_[id] = built.widget;
        ConnectNotifications(id, built.widget);
    }

    guard_ = new CReturnEscapeGuard(this);
}

CDialogBase::~CDialogBase() = default;

void CDialogBase::ConnectNotifications(int id, QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { DispatchCommand(id); });
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

QWidget* CDialogBase::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QString CDialogBase::ItemText(int id) const {
    return nivra::ui::ControlText(Control(id));
}

void CDialogBase::SetItemText(int id, const QString& text) {
    nivra::ui::SetControlText(Control(id), text);
}

void CDialogBase::EnableItem(int id, bool enabled) {
    if (QWidget* control = Control(id))
        control->setEnabled(enabled);
}

void CDialogBase::OnCommand(int id, Handler handler) {
    commands_[id] = std::move(handler);
}

void CDialogBase::OnCommandRange(int first, int last, std::function<void(int)> handler) {
    commandRanges_.push_back({first, last, std::move(handler)});
}

bool CDialogBase::DispatchCommand(int id) {
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
        OnOK();
        return true;
    }
    if (id == nivra::res::kIdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialogBase::OnNotify(int id, Notification code, Handler handler) {
    notifications_[{id, code}] = std::move(handler);
}

bool CDialogBase::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialogBase::DoDataExchange(CDataExchange&) {}

void CDialogBase::InitDialog() {
    if (initialised_)
        return;
    initialised_ = true;
    if (OnInitDialog()) {
        for (QWidget* widget : tabOrder_) {
            if (widget->isEnabled()) {
                widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

bool CDialogBase::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialogBase::OnOK() {
    if (!UpdateData(true))
        return;
    accept();
}

void CDialogBase::OnCancel() {
    QDialog::reject();
}

void CDialogBase::reject() {
    OnCancel();
}

void CDialogBase::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}

void CDialogBase::SetBackgroundColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color); // edits and list boxes share the background
    setPalette(palette);
    setAutoFillBackground(true);
}

void CDialogBase::SetReturnEscapeGuard(bool on) {
    if (on && !guard_) {
        guard_ = new CReturnEscapeGuard(this);
    } else if (!on && guard_) {
        delete guard_;
        guard_ = nullptr;
    }
}
