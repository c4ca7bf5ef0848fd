#pragma once

#include <QObject>
#include <map>

class QAction;
class QMenuBar;
class QWidget;

namespace nivra::res {
struct MenuTemplate;
}

// A window's menu built from a menu resource: a QMenuBar whose items are addressed by their
// command numbers. Items are enabled or grayed and checked or unchecked only by the program:
// choosing an item never changes its check mark by itself. A grayed item cannot be chosen.
class CWindowMenu : public QObject {
    Q_OBJECT
public:
    // Builds the menu bar as a child of parent; the menu object is a child of parent too.
    CWindowMenu(const nivra::res::MenuTemplate& menu, QWidget* parent);

    QMenuBar* Bar() const { return bar_; }
    // The item of a command, or nullptr.
    QAction* Action(int command) const;

    // Return false when the menu has no such command.
    bool EnableItem(int command, bool enabled);
    bool CheckItem(int command, bool checked);
    bool IsEnabled(int command) const;
    bool IsChecked(int command) const;

signals:
    // The operator chose the item of this command.
    void commandChosen(int command);

private:
    QMenuBar* bar_;
    std::map<int, QAction*> actions_;
    std::map<int, bool> checked_;
};
