// The window tests need one QApplication for the whole test program, on the offscreen platform
// so that no display is needed and no window ever appears.
#include "ui/resources/window_fonts.h"

#include <QApplication>
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
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
