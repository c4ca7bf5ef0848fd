#pragma once

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
}

// A window's menu built from a menu resource: a QMenuBar whose items are QActions, addressed by
// their command numbers. Whoever handles a command connects to its action's triggered signal:
//
//     connect(menu.Action(kCmdFileOpen), &QAction::triggered, this, [this] { open(); });
//
// Items are enabled or grayed and checked or unchecked only by the program: choosing an item
// never changes its check mark by itself. A grayed item cannot be chosen.
class CWindowMenu : public QObject {
    Q_OBJECT
public:
    // Builds the menu bar as a child of parent; the menu object is a child of parent too.
    CWindowMenu(const nivra::res::MenuTemplate& menu, QWidget* parent);

    QMenuBar* Bar() const { return bar_; }
    // The item of a command, or nullptr.
    QAction* Action(int command) const;
    // Every item, in the order of their command numbers.
    std::vector<QAction*> Actions() const;

    // Return false when the menu has no such command.
    bool EnableItem(int command, bool enabled);
    bool CheckItem(int command, bool checked);
    bool IsEnabled(int command) const;
    bool IsChecked(int command) const;

    // Adds a separator, or an item for a command, at the end of the drop-down with the given
    // 0-based index (from the left). Return false when there is no such drop-down.
    bool AppendSeparator(int popup);
    bool AppendItem(int popup, const QString& text, int command);

private:
    QMenu* Popup(int index) const;
    void AddAction(QMenu* drop, const QString& text, int command);

    QMenuBar* bar_;
    std::map<int, QAction*> actions_;
    std::map<int, bool> checked_;
};
