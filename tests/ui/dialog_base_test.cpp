#include "ui/controls/dialog_base.h"
#include "ui/resources/about_controls.h"
#include "ui/resources/assay_config_controls.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using nivra::ui::DataExchange;
using nivra::ui::DialogBase;

namespace res = nivra::res;
namespace assay = nivra::ui::assay_config;
namespace run = nivra::ui::run_config;
using nivra::test::ScriptedPrompts;
using nivra::test::sendKey;

namespace {

// The assay configuration template with a few values of every kind.
class ValuesDialog : public DialogBase {
public:
    ValuesDialog() : DialogBase(res::kDialogAssayConfig) {}

    std::uint32_t area = 1000;
    std::string name = "Plate";
    std::uint32_t hours = 2;
    std::int32_t offset = -3;
    double rate = 0.84;
    int initCalls = 0;

protected:
    void doDataExchange(DataExchange& dx) override {
        dx.text(assay::kSampleAreaEdit, area);
        dx.text(assay::kNameEdit, name);
        dx.text(assay::kDwellHoursEdit, hours);
        dx.text(assay::kDwellMinutesEdit, offset);
        dx.text(assay::kBackgroundRateEdit, rate);
    }
    bool onInitDialog() override {
        ++initCalls;
        return DialogBase::onInitDialog();
    }
};

QLineEdit* edit(DialogBase& dialog, int id) {
    return dialog.controlAs<QLineEdit>(id);
}

TEST(DataExchange, ValuesAreShownInDecimalAndWithFifteenSignificantDigits) {
    ValuesDialog dialog;
    dialog.hours = 4294967295u;
    ASSERT_TRUE(dialog.updateData(false));
    EXPECT_EQ(dialog.itemText(assay::kSampleAreaEdit), QStringLiteral("1000"));
    EXPECT_EQ(dialog.itemText(assay::kNameEdit), QStringLiteral("Plate"));
    EXPECT_EQ(dialog.itemText(assay::kDwellHoursEdit), QStringLiteral("4294967295"));
    EXPECT_EQ(dialog.itemText(assay::kDwellMinutesEdit), QStringLiteral("-3"));
    EXPECT_EQ(dialog.itemText(assay::kBackgroundRateEdit), QStringLiteral("0.84"));
    dialog.rate = 4.0;
    dialog.updateData(false);
    EXPECT_EQ(dialog.itemText(assay::kBackgroundRateEdit), QStringLiteral("4"));
    dialog.rate = 1.0 / 3.0;
    dialog.updateData(false);
    EXPECT_EQ(dialog.itemText(assay::kBackgroundRateEdit), QStringLiteral("0.333333333333333"));
}

TEST(DataExchange, NumbersAreReadAsTheCInputConversionsReadThem) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.setItemText(assay::kSampleAreaEdit, QStringLiteral("  42 cm"));
    dialog.setItemText(assay::kNameEdit, QStringLiteral("  spaced name "));
    dialog.setItemText(assay::kDwellHoursEdit, QStringLiteral("-1"));
    dialog.setItemText(assay::kDwellMinutesEdit, QStringLiteral("+17"));
    dialog.setItemText(assay::kBackgroundRateEdit, QStringLiteral("1.5e2x"));
    ASSERT_TRUE(dialog.updateData(true));
    EXPECT_EQ(dialog.area, 42u);
    EXPECT_EQ(dialog.name, "  spaced name ");
    EXPECT_EQ(dialog.hours, 4294967295u);
    EXPECT_EQ(dialog.offset, 17);
    EXPECT_EQ(dialog.rate, 150.0);
    EXPECT_TRUE(prompts.questions().empty());
}

TEST(DataExchange, ABadFieldIsReportedSelectedAndStopsTheReading) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.show();
    dialog.setItemText(assay::kSampleAreaEdit, QStringLiteral("77"));
    dialog.setItemText(assay::kNameEdit, QStringLiteral("New name"));
    dialog.setItemText(assay::kDwellHoursEdit, QStringLiteral("")); // empty: does not convert
    dialog.setItemText(assay::kBackgroundRateEdit, QStringLiteral("9"));
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    EXPECT_EQ(dialog.area, 77u);        // read before the bad field
    EXPECT_EQ(dialog.name, "New name"); // read before the bad field
    EXPECT_EQ(dialog.hours, 2u);        // the bad field keeps its value
    EXPECT_EQ(dialog.rate, 0.84);       // not read
    EXPECT_EQ(dialog.focusWidget(), dialog.control(assay::kDwellHoursEdit));

    prompts.clear();
    dialog.setItemText(assay::kDwellHoursEdit, QStringLiteral("5"));
    dialog.setItemText(assay::kBackgroundRateEdit, QStringLiteral("abc"));
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a number.")});
    EXPECT_EQ(dialog.hours, 5u);
    EXPECT_EQ(dialog.focusWidget(), dialog.control(assay::kBackgroundRateEdit));
    EXPECT_EQ(::edit(dialog, assay::kBackgroundRateEdit)->selectedText(), QStringLiteral("abc"));
}

TEST(DataExchange, OnlyTheFirst63CharactersOfANumberAreRead) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.updateData(false);
    dialog.setItemText(assay::kSampleAreaEdit, QString(63, QLatin1Char(' ')) + QStringLiteral("5"));
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    dialog.setItemText(assay::kSampleAreaEdit,
                       QString(62, QLatin1Char(' ')) + QStringLiteral("56"));
    EXPECT_TRUE(dialog.updateData(true));
    EXPECT_EQ(dialog.area, 5u);
}

TEST(DataExchange, NarrowTextsSurviveTheRoundTrip) {
    ValuesDialog dialog;
    dialog.name = "\xb1 err \xb5"; // 8-bit code page bytes: shown byte by byte
    dialog.updateData(false);
    EXPECT_EQ(dialog.itemText(assay::kNameEdit), QStringLiteral("\u00b1 err \u00b5"));
    dialog.name = "Z\xc3\xa4hler"; // UTF-8
    dialog.updateData(false);
    EXPECT_EQ(dialog.itemText(assay::kNameEdit), QStringLiteral("Z\u00e4hler"));
    dialog.updateData(true);
    EXPECT_EQ(dialog.name, "Z\xc3\xa4hler");
}

// Return and Escape never reach a dialog or its controls: no default button fires, no edit
// reports Return, the dialog stays open; other keys pass.
TEST(ReturnAndEscape, AreSwallowedAsPressReleaseAndCharacter) {
    DialogBase dialog(res::kDialogRunConfig);
    auto* start = dialog.controlAs<QPushButton>(run::kStartButton);
    start->setDefault(true);
    int startClicks = 0;
    QObject::connect(start, &QPushButton::clicked, [&] { ++startClicks; });
    auto* cancel = dialog.controlAs<QPushButton>(run::kCancelButton);
    int cancelClicks = 0;
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancelClicks; });
    auto* edit = ::edit(dialog, run::kCounterNameEdit);
    int returns = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    bool cancelled = false;
    dialog.onCommand(run::kCancelButton, [&] { cancelled = true; });
    dialog.show();

    for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(start),
                            static_cast<QWidget*>(&dialog), dialog.client()}) {
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
    EXPECT_FALSE(cancelled);

    sendKey(edit, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

TEST(ReturnAndEscape, AlsoCoverControlsAddedLater) {
    DialogBase dialog(res::kDialogRunConfig);
    auto* late = new QLineEdit(dialog.client());
    int returns = 0;
    QObject::connect(late, &QLineEdit::returnPressed, [&] { ++returns; });
    dialog.show();
    sendKey(late, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    sendKey(late, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(returns, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ReturnAndEscape, ReachADialogThatTurnsTheGuardOff) {
    DialogBase about(res::kDialogAbout);
    about.setReturnEscapeGuard(false);
    about.show();
    sendKey(about.control(nivra::ui::about::kOkButton), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(CommandDispatch, ButtonsAndCommandsReachTheirHandlers) {
    ValuesDialog dialog;
    std::vector<int> calls;
    dialog.onCommand(assay::kLoadButton, [&] { calls.push_back(assay::kLoadButton); });
    dialog.onCommandRange(assay::kSaveButton, assay::kSaveAsDefaultButton,
                          [&](int id) { calls.push_back(id); });
    dialog.controlAs<QPushButton>(assay::kLoadButton)->click();
    dialog.controlAs<QPushButton>(assay::kSaveAsDefaultButton)->click();
    EXPECT_TRUE(dialog.dispatchCommand(assay::kSaveButton));
    constexpr int kNoSuchCommand = 4242;
    EXPECT_FALSE(dialog.dispatchCommand(kNoSuchCommand));
    EXPECT_EQ(calls, (std::vector<int>{assay::kLoadButton, assay::kSaveAsDefaultButton,
                                       assay::kSaveButton}));
}

TEST(CommandDispatch, CloseButtonAndCloseBoxCancelAndOkReadsTheFieldsFirst) {
    {
        ValuesDialog dialog;
        dialog.show();
        dialog.controlAs<QPushButton>(assay::kCloseButton)->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        ValuesDialog dialog;
        dialog.show();
        dialog.close(); // the close box
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        ScriptedPrompts prompts;
        ValuesDialog dialog;
        dialog.show();
        dialog.setItemText(assay::kSampleAreaEdit, QStringLiteral("x"));
        dialog.dispatchCommand(res::kIdOk);
        EXPECT_TRUE(dialog.isVisible()); // the field failed: the dialog stays
        dialog.setItemText(assay::kSampleAreaEdit, QStringLiteral("8"));
        dialog.dispatchCommand(res::kIdOk);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.area, 8u);
    }
}

TEST(CommandDispatch, EditChangesAreNotified) {
    ValuesDialog dialog;
    int changes = 0;
    dialog.onNotify(assay::kNameEdit, DialogBase::Notification::Changed, [&] { ++changes; });
    dialog.setItemText(assay::kNameEdit, QStringLiteral("x"));
    dialog.setItemText(assay::kSampleAreaEdit,
                       QStringLiteral("1")); // another edit: not this handler
    EXPECT_EQ(changes, 1);
}

TEST(DialogInit, RunsOnceShowsTheValuesAndFocusesTheFirstControl) {
    ValuesDialog dialog;
    dialog.initDialog();
    dialog.show();
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.itemText(assay::kSampleAreaEdit), QStringLiteral("1000"));
    EXPECT_EQ(dialog.focusWidget(), dialog.control(assay::kNameEdit));
}

} // namespace
