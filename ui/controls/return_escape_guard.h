#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace nivra::ui {

// Swallows Return and Escape in a window: every key press, key release and shortcut request of
// the keys Return, Enter and Escape, and every key event carrying the characters 13 or 27 (such
// as Ctrl+M), addressed to the window or any control in it, before anything else sees it. So
// neither key presses a default button, closes a dialog or starts a new line. Controls added to
// the window later are covered too; popup windows (menus) are not part of the window and keep
// their keys.
class ReturnEscapeGuard : public QObject {
    Q_OBJECT
public:
    // Guards window and all its descendants; the guard is a child of window.
    explicit ReturnEscapeGuard(QWidget* window);

    static bool isReturnOrEscape(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);

    QWidget* window_;
};

} // namespace nivra::ui
