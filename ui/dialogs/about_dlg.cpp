#include "ui/dialogs/about_dlg.h"

#include "ui/resources/about_controls.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/resource_ids.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialogBase(nivra::res::kDialogAbout, parent) {
    SetReturnEscapeGuard(false);
    setWindowIcon(nivra::res::AppIcon());
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    SetItemText(nivra::ui::about::kVersionLabel, versionText_);
    return true;
}

void ShowAboutDialog(QWidget* mainWindow) {
    CAboutDlg dialog(mainWindow);
    if (mainWindow)
        dialog.SetVersionText(mainWindow->windowTitle());
    dialog.exec();
}
