#pragma once

#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

// The one seam for desktop notifications, the word the program leaves on the desktop when
// something happens that an operator away from the window wants to know (a run has ended).
// Window code notifies through the Notifier it was handed (the application context's); the
// program hands down a TrayNotifier (see main), tests their own notifier that records what was
// said.
namespace nivra::ui {

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows a notification with a title and a text. Returns false when the desktop has no
    // place to show it; that is no failure, nothing else happens then.
    virtual bool notify(const QString& title, const QString& text) = 0;
};

// Notifications as messages of a system tray icon, which desktops with a notification service
// show as their notifications. The icon appears with the first message and stays until the
// notifier goes. Without a system tray, or one that cannot show messages, nothing is shown.
//
// The icon belongs to the notifier, not to the application: an icon still alive when the
// application's platform has gone crashes in its destructor, so the program keeps its notifier
// in a scope that ends before the QApplication does.
class TrayNotifier final : public Notifier {
public:
    // Whether the desktop has a tray that shows messages; the default asks Qt.
    using TrayCheck = std::function<bool()>;
    explicit TrayNotifier(TrayCheck trayPresent = {});
    ~TrayNotifier() override;
    TrayNotifier(const TrayNotifier&) = delete;
    TrayNotifier& operator=(const TrayNotifier&) = delete;

    bool notify(const QString& title, const QString& text) override;
    // The icon once a notification has been shown, else null.
    QSystemTrayIcon* icon() const { return icon_.get(); }

private:
    TrayCheck trayPresent_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace nivra::ui
