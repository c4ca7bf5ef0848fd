#pragma once

#include <memory>

class QGuiApplication;

namespace nivra::render {

// What painting text and pictures needs from Qt, for a program without windows (nivra-cli): a
// QGuiApplication, made here unless one exists already, on the offscreen platform when
// QT_QPA_PLATFORM names none, so that it runs without a display. Qt's application object must
// outlive every painter; keep the session for the whole command.
class GuiSession {
public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

private:
    int argc_ = 1;
    char name_[16] = "nivra-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace nivra::render
