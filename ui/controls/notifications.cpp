#include "ui/controls/notifications.h"

#include <QApplication>

namespace nivra::ui {

namespace {

Notifier* installed = nullptr;

} // namespace

Notifier& notifications() {
    if (installed)
        return *installed;
    // Made on first use and kept for the program's life, like the application's own objects.
    static TrayNotifier tray;
    return tray;
}

Notifier* installNotifier(Notifier* notifier) {
    Notifier* previous = installed;
    installed = notifier;
    return previous;
}

TrayNotifier::TrayNotifier() = default;

TrayNotifier::~TrayNotifier() {
    delete icon_;
}

bool TrayNotifier::notify(const QString& title, const QString& text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || !QSystemTrayIcon::supportsMessages())
        return false;
    if (!icon_) {
        icon_ = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
        icon_->setToolTip(QApplication::applicationDisplayName());
        icon_->show();
    }
    icon_->showMessage(title, text, QSystemTrayIcon::Information);
    return true;
}

} // namespace nivra::ui
