// nivra-usb: the main window. Takes no arguments; its start directory is the current directory.

#include "engine/assay_run.h"
#include "ui/main_window/nivra_app.h"
#include "ui/resources/app_icon.h"

#include <QApplication>
#include <chrono>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(nivra::res::AppIcon());

    CNivraApp app;
    app.InitInstance();

    // The window lets no run outlive it; a run that has reported its end may still be winding
    // down its threads. The counter manager closes the ports after this, at process exit.
    CAssayRun::WaitUntilNoRuns(std::chrono::seconds(10));
    return 0;
}
