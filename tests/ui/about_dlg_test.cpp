#include "ui/dialogs/about_dlg.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using nivra::ui::AboutDlg;
using nivra::ui::showAboutDialog;

namespace {

using nivra::test::sendKey;

TEST(AboutDialog, ShowsTheMainWindowTitleAsVersionAndReturnPressesOk) {
    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Nivra-USB- v3.04"));
    QString shownVersion;
    QString caption;
    int result = -1;
    // Runs inside the About box's modal loop: reads it and closes it with Return.
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* about = qobject_cast<AboutDlg*>(modal);
        if (!about) {
            ADD_FAILURE() << "the About box is not the modal dialog";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            return;
        }
        shownVersion = about->ui().version->text();
        caption = about->windowTitle();
        sendKey(about, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        if (about->isVisible())
            about->done(QDialog::Rejected); // never leave the test waiting
        result = about->result();
    });
    showAboutDialog(&mainWindow);

    EXPECT_EQ(shownVersion, QStringLiteral("Nivra-USB- v3.04"));
    EXPECT_EQ(caption, QStringLiteral("About Nivra-USB"));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(AboutDialog, ShowsTheVersionLiterallyAndOkCloses) {
    AboutDlg about;
    about.setVersionText(QStringLiteral("v9 & more"));
    about.show();
    EXPECT_EQ(about.ui().version->text(), QStringLiteral("v9 & more"));
    about.ui().ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

// Every line of the box is shown whole, on its one line, clear of the OK button.
TEST(AboutDialog, EveryLineIsShownWhole) {
    AboutDlg about;
    about.setVersionText(QStringLiteral("Nivra-USB- v3.04"));
    about.show();
    const QWidget* ok = about.ui().ok;
    int lines = 0;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        ++lines;
        const QFontMetrics metrics(label->font());
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
            << label->text().toStdString();
        EXPECT_GE(label->height(), metrics.height()) << label->text().toStdString();
        EXPECT_FALSE(label->geometry().intersects(ok->geometry())) << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), about.form()->width());
    }
    EXPECT_EQ(lines, 2);
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(about.grab().save(QString::fromStdString(folder + "/about.png")));
}

} // namespace
