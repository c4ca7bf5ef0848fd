#pragma once

#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

// The one seam for desktop notifications, the word the program leaves on the desktop when
// something happens that an operator away from the window wants to know (a run has ended).
// Window code calls nivra::ui::notifications().notify(...); production installs nothing and
// gets the system tray's messages; tests install their own notifier and read what was said.
namespace nivra::ui {

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows a notification with a title and a text. Returns false when the desktop has no
    // place to show it; that is no failure, nothing else happens then.
    virtual bool notify(const QString& title, const QString& text) = 0;
};

// The installed notifier: the one a test installed, otherwise the tray notifier.
Notifier& notifications();

// Installs a notifier (nullptr restores the tray notifier) and returns the previously installed
// one. The caller keeps ownership and must uninstall before destroying it.
Notifier* installNotifier(Notifier* notifier);

// Notifications as messages of a system tray icon, which desktops with a notification service
// show as their notifications. The icon appears with the first message and stays until the
// program ends. Without a system tray, or one that cannot show messages, nothing is shown.
class TrayNotifier final : public Notifier {
public:
    TrayNotifier();
    ~TrayNotifier() override;
    TrayNotifier(const TrayNotifier&) = delete;
    TrayNotifier& operator=(const TrayNotifier&) = delete;

    bool notify(const QString& title, const QString& text) override;

private:
    // A child of the application, so it goes with it even when this object outlives it.
    QPointer<QSystemTrayIcon> icon_;
};

// Installs a notifier for the life of the object and restores the previous one afterwards.
class NotifierScope {
public:
    explicit NotifierScope(Notifier& notifier) : previous_(installNotifier(&notifier)) {}
    ~NotifierScope() { installNotifier(previous_); }
    NotifierScope(const NotifierScope&) = delete;
    NotifierScope& operator=(const NotifierScope&) = delete;

private:
    Notifier* previous_;
};

} // namespace nivra::ui
