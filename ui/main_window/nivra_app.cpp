#include "ui/main_window/nivra_app.h"

#include "ui/main_window/app_profile.h"

#include <QEventLoop>
#include <memory>

namespace nivra::ui {

bool NivraApp::initInstance() {
    writeProfileTestEntry();
    // The window's initialisation (start directory, discovery, initial state) runs before it is
    // first shown.
    auto window = std::make_unique<MainWindow>(environment_);
    if (environment_.runModal) {
        environment_.runModal(*window);
    } else {
        // A normal, non-modal top-level window; the program lives until it is closed.
        QEventLoop loop;
        QObject::connect(window.get(), &QDialog::finished, &loop, &QEventLoop::quit);
        window->show();
        loop.exec();
    }
    window.reset();
    return false;
}

} // namespace nivra::ui
