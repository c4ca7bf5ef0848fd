#pragma once

#include "ui/controls/template_dialog.h"
#include "ui/resources/about_ui.h"

#include <QString>

namespace nivra::ui {

// The About box: the application icon, the version text and OK. The version text is the main
// window's title, given by the opener. Unlike the program's working dialogs, the About box keeps
// the usual keys: Return presses OK and Escape closes it.
//
// The main window opens it for About > About and for the "About" item of its system menu with
//     showAboutDialog(this);
class AboutDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit AboutDlg(QWidget* parent = nullptr);
    ~AboutDlg() override;

    void setVersionText(const QString& text);
    const AboutUi& ui() const { return ui_; }

private:
    void fitTexts();

    AboutUi ui_;
};

// Runs the About box modally over mainWindow, with mainWindow's title ("Nivra-USB- v3.04") as
// the version text. mainWindow may be null; the version text is then empty.
void showAboutDialog(QWidget* mainWindow);

} // namespace nivra::ui
