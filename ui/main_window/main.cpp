// nivra-usb: the main window. Takes no arguments; its start directory is the current directory.

#include "base/start_directory.h"
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
    const std::optional<nivra::StartDirectory> start = nivra::StartDirectory::capture();
    nivra::ui::QtPrompts prompts(start);
    // The rest of the context is the program's own: the system clock, the counters found at
    // start-up, QDialog::exec and the user's settings.
    const nivra::ui::AppContext context{prompts, tray, start};

    // The program lives as long as its main window: closing it (refused while a run goes on)
    // ends the event loop, also when the Counters window is still open. The window's destructor
    // lets no run outlive it; the counter manager closes the ports at process exit.
    nivra::ui::MainWindow window(context);
    QObject::connect(&window, &nivra::ui::MainWindow::closed, &application,
                     &QCoreApplication::quit);
    window.show();
    return QApplication::exec();
}
