#include "ui/dialogs/about_dlg.h"
#include "ui/resources/about_controls.h"
#include "ui/resources/resource_ids.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using nivra::ui::AboutDlg;
using nivra::ui::DialogBase;
using nivra::ui::showAboutDialog;

namespace {

using nivra::test::sendKey;
namespace ids = nivra::ui::about;

TEST(AboutDialog, ShowsTheMainWindowTitleAsVersionAndReturnPressesOk) {
    DialogBase mainWindow(nivra::res::kDialogMain);
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
        shownVersion = about->itemText(ids::kVersionLabel);
        caption = about->windowTitle();
        sendKey(about, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        if (about->isVisible())
            about->endDialog(QDialog::Rejected); // never leave the test waiting
        result = about->result();
    });
    showAboutDialog(&mainWindow);

    EXPECT_EQ(shownVersion, QStringLiteral("Nivra-USB- v3.04"));
    EXPECT_EQ(caption, QStringLiteral("About Nivra-USB"));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(AboutDialog, KeepsTheResourceTextUntilItOpensAndOkCloses) {
    AboutDlg about;
    about.setVersionText(QStringLiteral("v9 & more"));
    EXPECT_EQ(about.itemText(ids::kVersionLabel), QStringLiteral("version info"));
    about.show();
    EXPECT_EQ(about.itemText(ids::kVersionLabel), QStringLiteral("v9 & more"));
    about.dispatchCommand(ids::kOkButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

// Every line of the box is shown whole, on its one line, clear of the OK button.
TEST(AboutDialog, EveryLineIsShownWhole) {
    AboutDlg about;
    about.setVersionText(QStringLiteral("Nivra-USB- v3.04"));
    about.show();
    const QWidget* ok = about.control(ids::kOkButton);
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
        EXPECT_LE(label->geometry().right(), about.client()->width());
    }
    EXPECT_EQ(lines, 2);
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(about.grab().save(QString::fromStdString(folder + "/about.png")));
}

} // namespace
