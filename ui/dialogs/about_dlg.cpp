#include "ui/dialogs/about_dlg.h"

#include "ui/resources/app_icon.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace nivra::ui {

AboutDlg::AboutDlg(QWidget* parent) : TemplateDialog(nivra::res::aboutTemplate(), parent) {
    ui_ = form()->bind<AboutUi>();
    setReturnEscapeGuard(false);
    setWindowIcon(nivra::res::appIcon());
    connect(ui_.ok, &QPushButton::clicked, this, &QDialog::accept);
    fitTexts();
}

AboutDlg::~AboutDlg() = default;

void AboutDlg::setVersionText(const QString& text) {
    ui_.version->setText(text);
    fitTexts();
}

void AboutDlg::fitTexts() {
    // The lines of text are one line high: a text wider than its label would wrap into a second
    // line nobody sees. Each line may widen up to the OK button beside it, or up to the box's
    // edge below the button.
    const QWidget* ok = ui_.ok;
    constexpr int kGap = 6;
    for (QLabel* label : form()->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue; // the icon
        label->setWordWrap(false);
        const bool besideOk = label->y() < ok->geometry().bottom();
        const int room = (besideOk ? ok->x() : form()->width()) - kGap - label->x();
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
