// nivra-usb: the main window. Takes no arguments; its start directory is the current directory.

#include "ui/main_window/nivra_app.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/window_fonts.h"

#include <QApplication>

using nivra::ui::NivraApp;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(nivra::res::appIcon());
    nivra::res::installWindowFonts();

    NivraApp app;
    app.initInstance();
    // The window let no run outlive it. The counter manager closes the ports at process exit.
    return 0;
}
