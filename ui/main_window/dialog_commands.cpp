#include "ui/main_window/dialog_commands.h"

#include "ui/controls/window_printer.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/string_resources.h"

#include <QAction>

namespace nivra::ui {

namespace {

// The drop-down of the window menu that also offers "&About Nivra...".
constexpr int kAboutPopup = 5;

} // namespace

DialogCommands::DialogCommands(QWidget& window, Prompts& prompts, WindowMenu& menu,
                               const SlotModel& model, const StartDirectory& start,
                               ModalRunner runner)
    : window_(window), prompts_(prompts), menu_(menu), slots_(model), start_(start),
      runModal_(std::move(runner)) {
    using namespace nivra::res;
    connect(menu.action(Command::ConfigCounter), &QAction::triggered, this, [this] {
        // The active slot's own configuration file: counter<N>.ccx, counter0.ccx for the viewer.
        CounterConfigDlg dialog(prompts_, slots_.activeIndex(), start_, &window_);
        runModal(dialog);
        emit counterConfigurationClosed();
    });
    connect(menu.action(Command::ConfigAssay), &QAction::triggered, this, [this] {
        AssayConfigDlg dialog(prompts_, start_, &window_);
        runModal(dialog);
    });
    connect(menu.action(Command::FilePrint), &QAction::triggered, this, [this] {
        // The window as it looks now; runs go on while the print dialog is open.
        printWindowContents(prompts_, window_, true);
    });
    connect(menu.action(Command::About), &QAction::triggered, this, [this] { about(); });
}

void DialogCommands::addAboutItem() {
    const QString text = nivra::res::loadStringResource(nivra::res::kStringAboutMenu);
    if (text.isEmpty())
        return;
    WindowMenu& menu = menu_;
    menu.appendSeparator(kAboutPopup);
    menu.appendItem(kAboutPopup, text, nivra::res::Command::AboutBox);
    connect(menu.action(nivra::res::Command::AboutBox), &QAction::triggered, this,
            [this] { about(); });
}

int DialogCommands::runModal(QDialog& dialog) {
    return runModal_ ? runModal_(dialog) : dialog.exec();
}

void DialogCommands::about() {
    // The version text is the window's title, which stays that of its template.
    AboutDlg dialog(&window_);
    dialog.setVersionText(window_.windowTitle());
    runModal(dialog);
}

} // namespace nivra::ui
