#include "ui/dialogs/about_dlg.h"

#include "ui/resources/about_controls.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/resource_ids.h"

#include <QLabel>
#include <algorithm>

namespace nivra::ui {

AboutDlg::AboutDlg(QWidget* parent) : DialogBase(nivra::res::kDialogAbout, parent) {
    setReturnEscapeGuard(false);
    setWindowIcon(nivra::res::appIcon());
}

AboutDlg::~AboutDlg() = default;

bool AboutDlg::onInitDialog() {
    DialogBase::onInitDialog();
    setItemText(nivra::ui::about::kVersionLabel, versionText_);
    fitTexts();
    return true;
}

void AboutDlg::fitTexts() {
    // The lines of text are one line high: a text wider than its label would wrap into a second
    // line nobody sees. Each line may widen up to the OK button beside it, or up to the box's
    // edge below the button.
    const QWidget* ok = control(nivra::ui::about::kOkButton);
    constexpr int kGap = 6;
    for (QLabel* label : client()->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue; // the icon
        label->setWordWrap(false);
        const bool besideOk = label->y() < ok->geometry().bottom();
        const int room = (besideOk ? ok->x() : client()->width()) - kGap - label->x();
        const int needed = label->sizeHint().width();
        label->resize(std::max(label->width(), std::min(needed, room)), label->height());
    }
}

void showAboutDialog(QWidget* mainWindow) {
    AboutDlg dialog(mainWindow);
    if (mainWindow)
        dialog.setVersionText(mainWindow->windowTitle());
    dialog.exec();
}

} // namespace nivra::ui
