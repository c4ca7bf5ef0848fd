// nivra-usb: the main window. Takes no arguments; its start directory is the current directory.

#include "base/start_directory.h"
#include "storage/history_location.h"
#include "ui/controls/notifications.h"
#include "ui/controls/prompts.h"
#include "ui/main_window/app_profile.h"
#include "ui/main_window/main_window.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/window_fonts.h"

#include <QApplication>
#include <optional>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(nivra::res::appIcon());
    nivra::res::installWindowFonts();
    nivra::ui::writeProfileTestEntry();

    // Declared after the application, so the tray icon of the run-end notifications goes before
    // the application's platform does.
    nivra::ui::TrayNotifier tray;
    // The start directory is captured once; the file dialogs and the window are handed it.
    // Without a readable current directory the program goes on in it, named relative to it.
    const std::optional<nivra::StartDirectory> captured = nivra::StartDirectory::capture();
    const nivra::StartDirectory start = captured.value_or(nivra::StartDirectory("."));
    nivra::ui::QtPrompts prompts(captured);
    // The rest of the context is the program's own: the system clock, the counters found at
    // start-up, QDialog::exec and the user's settings.
    const nivra::ui::AppContext context{prompts, tray, start, captured.has_value(),
                                        nivra::resolveHistoryLocation(start)};

    // The program lives as long as its main window: closing it (refused while a run goes on)
    // ends the event loop, also when the Counters window is still open. The window's destructor
    // lets no run outlive it; the counter manager closes the ports at process exit.
    nivra::ui::MainWindow window(context);
    QObject::connect(&window, &nivra::ui::MainWindow::closed, &application,
                     &QCoreApplication::quit);
    window.show();
    return QApplication::exec();
}
