#pragma once

#include "base/start_directory.h"

#include <QDialog>
#include <QObject>
#include <functional>

namespace nivra::ui {
class WindowMenu;

class Prompts;
class SlotModel;

// The commands that open a dialog of their own: Configuration > Counter and Configuration >
// Assay, File > Print and About (from the About menu and from its "&About Nivra..." item). Their
// results are of no interest here: what the operator keeps is in the files the dialogs write.
// The dialogs run through the window's modal runner, so a test can drive them.
class DialogCommands final : public QObject {
    Q_OBJECT
public:
    using ModalRunner = std::function<int(QDialog&)>;
    // The configuration dialogs work on the files below start.
    DialogCommands(QWidget& window, Prompts& prompts, WindowMenu& menu, const SlotModel& model,
                   const StartDirectory& start, ModalRunner runner);

    // "&About Nivra..." at the end of the About drop-down: the window system offers no menu of
    // ours on the caption bar.
    void addAboutItem();

signals:
    // The counter configuration dialog has closed: a counter's name may have changed.
    void counterConfigurationClosed();

private:
    int runModal(QDialog& dialog);
    void about();

    QWidget& window_;
    Prompts& prompts_;
    WindowMenu& menu_;
    const SlotModel& slots_;
    const StartDirectory start_;
    ModalRunner runModal_;
};

} // namespace nivra::ui
