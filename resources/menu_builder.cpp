#include "resources/menu_builder.h"
#include "resources/menu_resource.h"

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
            QAction* action = drop->addAction(QString::fromUtf8(item.text));
            const int command = item.command;
            actions_[command] = action;
            checked_[command] = false;
            CheckItem(command, item.checked);
            action->setEnabled(!item.grayed);
            connect(action, &QAction::triggered, this, [this, action, command] {
                // A checkable action toggles itself when chosen; the program owns the mark.
                if (action->isCheckable())
                    action->setChecked(checked_[command]);
                emit commandChosen(command);
            });
        }
    }
}

QAction* CWindowMenu::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
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
