// nivra-usb: the main window. Takes no arguments; its start directory is the current directory.

#include "ui/main_window/nivra_app.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/window_fonts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(nivra::res::AppIcon());
    nivra::res::installWindowFonts();

    CNivraApp app;
    app.InitInstance();
    // The window let no run outlive it. The counter manager closes the ports at process exit.
    return 0;
}
