// The window tests need one QApplication for the whole test program, on the offscreen platform
// so that no display is needed and no window ever appears. What the windows remember between
// starts goes to a temporary folder, never to the user's own settings.
#include "ui/resources/window_fonts.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "nivra-ui-tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        nivra::res::installWindowFonts(); // as the program does
        settingsDir_ = new QTemporaryDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_->path());
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
        delete settingsDir_;
        settingsDir_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
    QTemporaryDir* settingsDir_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
