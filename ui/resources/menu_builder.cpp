#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

CWindowMenu::CWindowMenu(const nivra::res::MenuTemplate& menu, QWidget* parent)
    : QObject(parent), bar_(new QMenuBar(parent)) {
    for (const nivra::res::MenuPopupTemplate& popup : menu.popups) {
        QMenu* drop = bar_->addMenu(QString::fromUtf8(popup.text));
        for (const nivra::res::MenuItemTemplate& item : popup.items) {
            if (!item.text) {
                drop->addSeparator();
                continue;
            }
            AddAction(drop, QString::fromUtf8(item.text), item.command);
            CheckItem(item.command, item.checked);
            Action(item.command)->setEnabled(!item.grayed);
        }
    }
}

void CWindowMenu::AddAction(QMenu* drop, const QString& text, int command) {
    QAction* action = drop->addAction(text);
    actions_[command] = action;
    checked_[command] = false;
    connect(action, &QAction::triggered, this, [this, action, command] {
        // A checkable action toggles itself when chosen; the program owns the mark.
        if (action->isCheckable())
            action->setChecked(checked_[command]);
    });
}

QMenu* CWindowMenu::Popup(int index) const {
    const QList<QAction*> drops = bar_->actions();
    if (index < 0 || index >= drops.size())
        return nullptr;
    return drops[index]->menu();
}

bool CWindowMenu::AppendSeparator(int popup) {
    QMenu* drop = Popup(popup);
    if (!drop)
        return false;
    drop->addSeparator();
    return true;
}

bool CWindowMenu::AppendItem(int popup, const QString& text, int command) {
    QMenu* drop = Popup(popup);
    if (!drop)
        return false;
    AddAction(drop, text, command);
    return true;
}

QAction* CWindowMenu::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

std::vector<QAction*> CWindowMenu::Actions() const {
    std::vector<QAction*> actions;
    actions.reserve(actions_.size());
    for (const auto& entry : actions_)
        actions.push_back(entry.second);
    return actions;
}

bool CWindowMenu::EnableItem(int command, bool enabled) {
    QAction* action = Action(command);
    if (!action)
        return false;
    action->setEnabled(enabled);
    return true;
}

bool CWindowMenu::CheckItem(int command, bool checked) {
    QAction* action = Action(command);
    if (!action)
        return false;
    checked_[command] = checked;
    // Only a checked item is checkable, so an unchecked one shows no empty box.
    if (checked) {
        action->setCheckable(true);
        action->setChecked(true);
    } else {
        action->setChecked(false);
        action->setCheckable(false);
    }
    return true;
}

bool CWindowMenu::IsEnabled(int command) const {
    QAction* action = Action(command);
    return action && action->isEnabled();
}

bool CWindowMenu::IsChecked(int command) const {
    auto it = checked_.find(command);
    return it != checked_.end() && it->second;
}
