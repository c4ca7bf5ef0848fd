#pragma once

#include "ui/resources/menu_commands.h"

#include <QObject>
#include <QString>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace nivra::res {
struct MenuTemplate;
} // namespace nivra::res

namespace nivra::ui {

// A window's menu built from a menu resource: a QMenuBar whose items are QActions, addressed by
// their commands. Whoever handles a command connects to its action's triggered signal:
//
//     connect(menu.action(Command::FileOpen), &QAction::triggered, this, [this] { open(); });
//
// Items are enabled or grayed and checked or unchecked only by the program: choosing an item
// never changes its check mark by itself. A grayed item cannot be chosen.
class WindowMenu : public QObject {
    Q_OBJECT
public:
    // Builds the menu bar as a child of parent; the menu object is a child of parent too.
    WindowMenu(const nivra::res::MenuTemplate& menu, QWidget* parent);

    QMenuBar* bar() const { return bar_; }
    // The item of a command, or nullptr.
    QAction* action(nivra::res::MenuCommand command) const;
    // Every item, in the order of their commands.
    std::vector<QAction*> actions() const;

    // Return false when the menu has no such command.
    bool enableItem(nivra::res::MenuCommand command, bool enabled);
    bool checkItem(nivra::res::MenuCommand command, bool checked);
    bool isEnabled(nivra::res::MenuCommand command) const;
    bool isChecked(nivra::res::MenuCommand command) const;

    // Adds a separator, or an item for a command, at the end of the drop-down with the given
    // 0-based index (from the left). Return false when there is no such drop-down.
    bool appendSeparator(int popup);
    bool appendItem(int popup, const QString& text, nivra::res::MenuCommand command);

private:
    QMenu* popup(int index) const;
    void addAction(QMenu* drop, const QString& text, nivra::res::MenuCommand command);

    QMenuBar* bar_;
    std::map<nivra::res::MenuCommand, QAction*> actions_;
    std::map<nivra::res::MenuCommand, bool> checked_;
};

} // namespace nivra::ui
