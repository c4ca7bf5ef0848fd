// The commands that open a dialog of their own: Configuration > Counter and Configuration >
// Assay, File > Print and About (from the About menu and from its "&About Nivra..." item). Their
// results are of no interest here: what the operator keeps is in the files the dialogs write.
// The dialogs run through the window's modal runner, so a test can drive them.

#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/main_window/window_printer.h"

void CNivraDlg::OnCounterConfig() {
    // The active slot's own configuration file: counter<N>.ccx, counter0.ccx for the viewer.
    CCounterConfigDlg dialog(activeSlot_, this);
    RunModal(dialog);
}

void CNivraDlg::OnAssayConfig() {
    CAssayConfigDlg dialog(this);
    RunModal(dialog);
}

void CNivraDlg::OnPrint() {
    // The window as it looks now; runs go on while the print dialog is open.
    nivra::ui::PrintWindowContents(*this, true);
}

void CNivraDlg::OnAbout() {
    // The version text is the window's title, which stays that of its template.
    CAboutDlg dialog(this);
    dialog.SetVersionText(windowTitle());
    RunModal(dialog);
}
