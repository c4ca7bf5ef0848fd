#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// Swallows Return and Escape in a window: every key press, key release and shortcut request of
// the keys Return, Enter and Escape, and every key event carrying the characters 13 or 27 (such
// as Ctrl+M), addressed to the window or any control in it, before anything else sees it. So
// neither key presses a default button, closes a dialog or starts a new line. Controls added to
// the window later are covered too; popup windows (menus) are not part of the window and keep
// their keys.
class CReturnEscapeGuard : public QObject {
    Q_OBJECT
public:
    // Guards window and all its descendants; the guard is a child of window.
    explicit CReturnEscapeGuard(QWidget* window);

    static bool IsReturnOrEscape(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* object);

    QWidget* window_;
};
