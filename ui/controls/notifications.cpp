#include "ui/controls/notifications.h"

#include <QApplication>

namespace nivra::ui {

namespace {

bool desktopHasTray() {
    return QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages();
}

} // namespace

TrayNotifier::TrayNotifier(TrayCheck trayPresent)
    : trayPresent_(trayPresent ? std::move(trayPresent) : TrayCheck(desktopHasTray)) {}

TrayNotifier::~TrayNotifier() = default;

bool TrayNotifier::notify(const QString& title, const QString& text) {
    if (!trayPresent_())
        return false;
    if (!icon_) {
        // No parent: the icon goes with this notifier, before the application.
        icon_ = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
        icon_->setToolTip(QApplication::applicationDisplayName());
        icon_->show();
    }
    icon_->showMessage(title, text, QSystemTrayIcon::Information);
    return true;
}

} // namespace nivra::ui
