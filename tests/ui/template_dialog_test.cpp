#include "ui/controls/template_dialog.h"
#include "ui/resources/about_ui.h"
#include "ui/resources/assay_config_ui.h"
#include "ui/resources/run_config_ui.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using nivra::test::sendKey;
using nivra::ui::TemplateDialog;

namespace {

namespace res = nivra::res;

// Return and Escape never reach a dialog or its controls: no default button fires, no edit
// reports Return, the dialog stays open; other keys pass.
TEST(ReturnAndEscape, AreSwallowedAsPressReleaseAndCharacter) {
    TemplateDialog dialog(res::runConfigTemplate(), nullptr);
    const auto ui = dialog.form()->bind<nivra::ui::RunConfigUi>();
    ui.start->setDefault(true);
    int startClicks = 0;
    QObject::connect(ui.start, &QPushButton::clicked, [&] { ++startClicks; });
    int cancelClicks = 0;
    QObject::connect(ui.cancel, &QPushButton::clicked, [&] { ++cancelClicks; });
    int returns = 0;
    QObject::connect(ui.counterName, &QLineEdit::returnPressed, [&] { ++returns; });
    dialog.show();

    for (QWidget* target : {static_cast<QWidget*>(ui.counterName), static_cast<QWidget*>(ui.start),
                            static_cast<QWidget*>(&dialog), static_cast<QWidget*>(dialog.form())}) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            sendKey(target, type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            sendKey(target, type, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
            sendKey(target, type, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            // The characters 13 and 27 typed as Ctrl+M and Ctrl+[.
            sendKey(target, type, Qt::Key_M, Qt::ControlModifier, QStringLiteral("\r"));
            sendKey(target, type, Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"));
        }
        EXPECT_TRUE(sendKey(target, QEvent::ShortcutOverride, Qt::Key_Escape));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(startClicks, 0);
    EXPECT_EQ(cancelClicks, 0);
    EXPECT_EQ(returns, 0);

    sendKey(ui.counterName, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(ui.counterName->text(), QStringLiteral("a"));
}

TEST(ReturnAndEscape, AlsoCoverControlsAddedLater) {
    TemplateDialog dialog(res::runConfigTemplate(), nullptr);
    auto* late = new QLineEdit(dialog.form());
    int returns = 0;
    QObject::connect(late, &QLineEdit::returnPressed, [&] { ++returns; });
    dialog.show();
    sendKey(late, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    sendKey(late, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(returns, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ReturnAndEscape, ReachADialogThatTurnsTheGuardOff) {
    TemplateDialog about(res::aboutTemplate(), nullptr);
    about.setReturnEscapeGuard(false);
    about.show();
    sendKey(about.form()->bind<nivra::ui::AboutUi>().ok, QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

// A template dialog is fixed at its template's size and, when shown, focuses its first control.
TEST(TemplateDialog, KeepsItsTemplateSizeAndFocusesTheFirstControl) {
    TemplateDialog dialog(res::assayConfigTemplate(), nullptr);
    EXPECT_EQ(dialog.minimumSize(), dialog.form()->templateSize());
    EXPECT_EQ(dialog.maximumSize(), dialog.form()->templateSize());
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.form()->bind<nivra::ui::AssayConfigUi>().name);
}

} // namespace
