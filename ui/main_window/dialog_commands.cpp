#include "ui/main_window/dialog_commands.h"

#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/main_window/slot_board.h"
#include "ui/controls/window_printer.h"
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

DialogCommands::DialogCommands(CDialogBase& window, const SlotBoard& board, ModalRunner runner)
    : window_(window), slots_(board), runModal_(std::move(runner)) {
    using namespace nivra::res;
    CWindowMenu& menu = *window.Menu();
    connect(menu.Action(kCmdConfigCounter), &QAction::triggered, this, [this] {
        // The active slot's own configuration file: counter<N>.ccx, counter0.ccx for the viewer.
        CCounterConfigDlg dialog(slots_.activeIndex(), &window_);
        runModal(dialog);
    });
    connect(menu.Action(kCmdConfigAssay), &QAction::triggered, this, [this] {
        CAssayConfigDlg dialog(&window_);
        runModal(dialog);
    });
    connect(menu.Action(kCmdFilePrint), &QAction::triggered, this, [this] {
        // The window as it looks now; runs go on while the print dialog is open.
        PrintWindowContents(window_, true);
    });
    connect(menu.Action(kCmdAbout), &QAction::triggered, this, [this] { about(); });
}

void DialogCommands::addAboutItem() {
    const QString text = nivra::res::LoadStringResource(nivra::res::kStringAboutMenu);
    if (text.isEmpty())
        return;
    CWindowMenu& menu = *window_.Menu();
    menu.AppendSeparator(kAboutPopup);
    menu.AppendItem(kAboutPopup, text, nivra::res::kCmdAboutBox);
    connect(menu.Action(nivra::res::kCmdAboutBox), &QAction::triggered, this, [this] { about(); });
}

int DialogCommands::runModal(CDialogBase& dialog) {
    return runModal_ ? runModal_(dialog) : dialog.exec();
}

void DialogCommands::about() {
    // The version text is the window's title, which stays that of its template.
    CAboutDlg dialog(&window_);
    dialog.SetVersionText(window_.windowTitle());
    runModal(dialog);
}

} // namespace nivra::ui
