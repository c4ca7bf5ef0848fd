#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace nivra::ui {

WindowMenu::WindowMenu(const nivra::res::MenuTemplate& menu, QWidget* parent)
    : QObject(parent), bar_(new QMenuBar(parent)) {
    for (const nivra::res::MenuPopupTemplate& popup : menu.popups) {
        QMenu* drop = bar_->addMenu(QString::fromUtf8(popup.text));
        for (const nivra::res::MenuItemTemplate& item : popup.items) {
            if (!item.text) {
                drop->addSeparator();
                continue;
            }
            addAction(drop, QString::fromUtf8(item.text), item.command);
            checkItem(item.command, item.checked);
            action(item.command)->setEnabled(!item.grayed);
            if (item.shortcut)
                action(item.command)->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        }
    }
}

void WindowMenu::addAction(QMenu* drop, const QString& text, nivra::res::MenuCommand command) {
    QAction* action = drop->addAction(text);
    actions_[command] = action;
    checked_[command] = false;
    connect(action, &QAction::triggered, this, [this, action, command] {
        // A checkable action toggles itself when chosen; the program owns the mark.
        if (action->isCheckable())
            action->setChecked(checked_[command]);
    });
}

QMenu* WindowMenu::popup(int index) const {
    const QList<QAction*> drops = bar_->actions();
    if (index < 0 || index >= drops.size())
        return nullptr;
    return drops[index]->menu();
}

bool WindowMenu::appendSeparator(int popup) {
    QMenu* drop = this->popup(popup);
    if (!drop)
        return false;
    drop->addSeparator();
    return true;
}

bool WindowMenu::appendItem(int popup, const QString& text, nivra::res::MenuCommand command) {
    QMenu* drop = this->popup(popup);
    if (!drop)
        return false;
    addAction(drop, text, command);
    return true;
}

QAction* WindowMenu::action(nivra::res::MenuCommand command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

std::vector<QAction*> WindowMenu::actions() const {
    std::vector<QAction*> actions;
    actions.reserve(actions_.size());
    for (const auto& entry : actions_)
        actions.push_back(entry.second);
    return actions;
}

bool WindowMenu::enableItem(nivra::res::MenuCommand command, bool enabled) {
    QAction* action = this->action(command);
    if (!action)
        return false;
    action->setEnabled(enabled);
    return true;
}

bool WindowMenu::checkItem(nivra::res::MenuCommand command, bool checked) {
    QAction* action = this->action(command);
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

bool WindowMenu::isEnabled(nivra::res::MenuCommand command) const {
    QAction* action = this->action(command);
    return action && action->isEnabled();
}

bool WindowMenu::isChecked(nivra::res::MenuCommand command) const {
    auto it = checked_.find(command);
    return it != checked_.end() && it->second;
}

} // namespace nivra::ui
