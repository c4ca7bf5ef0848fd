#include "ui/dialogs/about_dlg.h"

#include "ui/resources/about_controls.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/resource_ids.h"

namespace nivra::ui {

AboutDlg::AboutDlg(QWidget* parent) : DialogBase(nivra::res::kDialogAbout, parent) {
    setReturnEscapeGuard(false);
    setWindowIcon(nivra::res::appIcon());
}

AboutDlg::~AboutDlg() = default;

bool AboutDlg::onInitDialog() {
    DialogBase::onInitDialog();
    setItemText(nivra::ui::about::kVersionLabel, versionText_);
    return true;
}

void showAboutDialog(QWidget* mainWindow) {
    AboutDlg dialog(mainWindow);
    if (mainWindow)
        dialog.setVersionText(mainWindow->windowTitle());
    dialog.exec();
}

} // namespace nivra::ui
