#include "ui/controls/return_escape_guard.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWidget>

namespace nivra::ui {

ReturnEscapeGuard::ReturnEscapeGuard(QWidget* window) : QObject(window), window_(window) {
    watch(window);
}

void ReturnEscapeGuard::watch(QObject* object) {
    if (object == this)
        return;
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watch(child);
}

bool ReturnEscapeGuard::isReturnOrEscape(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        break;
    }
    const QString text = event.text();
    return text == QStringLiteral("\r") || text == QStringLiteral("\x1b");
}

bool ReturnEscapeGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded:
        watch(static_cast<QChildEvent*>(event)->child());
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_)
            return false;
        if (!isReturnOrEscape(*static_cast<QKeyEvent*>(event)))
            return false;
        // Accepting the shortcut request keeps any shortcut on these keys from firing too.
        event->accept();
        return true;
    }
    default:
        return false;
    }
}

} // namespace nivra::ui
