#include "ui/controls/dialog_base.h"
#include "ui/resources/about_controls.h"
#include "ui/resources/assay_config_controls.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace res = nivra::res;
namespace assay = nivra::ui::assay_config;
namespace run = nivra::ui::run_config;
using nivra::test::ScriptedPrompts;
using nivra::test::SendKey;

namespace {

// The assay configuration template with a few values of every kind.
class ValuesDialog : public CDialogBase {
public:
    ValuesDialog() : CDialogBase(res::kDialogAssayConfig) {}

    std::uint32_t area = 1000;
    std::string name = "Plate";
    std::uint32_t hours = 2;
    std::int32_t offset = -3;
    double rate = 0.84;
    int initCalls = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        dx.Text(assay::kSampleAreaEdit, area);
        dx.Text(assay::kNameEdit, name);
        dx.Text(assay::kDwellHoursEdit, hours);
        dx.Text(assay::kDwellMinutesEdit, offset);
        dx.Text(assay::kBackgroundRateEdit, rate);
    }
    bool OnInitDialog() override {
        ++initCalls;
        return CDialogBase::OnInitDialog();
    }
};

QLineEdit* Edit(CDialogBase& dialog, int id) {
    return dialog.ControlAs<QLineEdit>(id);
}

TEST(DataExchange, ValuesAreShownInDecimalAndWithFifteenSignificantDigits) {
    ValuesDialog dialog;
    dialog.hours = 4294967295u;
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.ItemText(assay::kSampleAreaEdit), QStringLiteral("1000"));
    EXPECT_EQ(dialog.ItemText(assay::kNameEdit), QStringLiteral("Plate"));
    EXPECT_EQ(dialog.ItemText(assay::kDwellHoursEdit), QStringLiteral("4294967295"));
    EXPECT_EQ(dialog.ItemText(assay::kDwellMinutesEdit), QStringLiteral("-3"));
    EXPECT_EQ(dialog.ItemText(assay::kBackgroundRateEdit), QStringLiteral("0.84"));
    dialog.rate = 4.0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(assay::kBackgroundRateEdit), QStringLiteral("4"));
    dialog.rate = 1.0 / 3.0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(assay::kBackgroundRateEdit), QStringLiteral("0.333333333333333"));
}

TEST(DataExchange, NumbersAreReadAsTheCInputConversionsReadThem) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.SetItemText(assay::kSampleAreaEdit, QStringLiteral("  42 cm"));
    dialog.SetItemText(assay::kNameEdit, QStringLiteral("  spaced name "));
    dialog.SetItemText(assay::kDwellHoursEdit, QStringLiteral("-1"));
    dialog.SetItemText(assay::kDwellMinutesEdit, QStringLiteral("+17"));
    dialog.SetItemText(assay::kBackgroundRateEdit, QStringLiteral("1.5e2x"));
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.area, 42u);
    EXPECT_EQ(dialog.name, "  spaced name ");
    EXPECT_EQ(dialog.hours, 4294967295u);
    EXPECT_EQ(dialog.offset, 17);
    EXPECT_EQ(dialog.rate, 150.0);
    EXPECT_TRUE(prompts.Questions().empty());
}

TEST(DataExchange, ABadFieldIsReportedSelectedAndStopsTheReading) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.show();
    dialog.SetItemText(assay::kSampleAreaEdit, QStringLiteral("77"));
    dialog.SetItemText(assay::kNameEdit, QStringLiteral("New name"));
    dialog.SetItemText(assay::kDwellHoursEdit, QStringLiteral("")); // empty: does not convert
    dialog.SetItemText(assay::kBackgroundRateEdit, QStringLiteral("9"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    EXPECT_EQ(dialog.area, 77u);        // read before the bad field
    EXPECT_EQ(dialog.name, "New name"); // read before the bad field
    EXPECT_EQ(dialog.hours, 2u);        // the bad field keeps its value
    EXPECT_EQ(dialog.rate, 0.84);       // not read
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(assay::kDwellHoursEdit));

    prompts.Clear();
    dialog.SetItemText(assay::kDwellHoursEdit, QStringLiteral("5"));
    dialog.SetItemText(assay::kBackgroundRateEdit, QStringLiteral("abc"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a number.")});
    EXPECT_EQ(dialog.hours, 5u);
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(assay::kBackgroundRateEdit));
    EXPECT_EQ(Edit(dialog, assay::kBackgroundRateEdit)->selectedText(), QStringLiteral("abc"));
}

TEST(DataExchange, OnlyTheFirst63CharactersOfANumberAreRead) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.UpdateData(false);
    dialog.SetItemText(assay::kSampleAreaEdit, QString(63, QLatin1Char(' ')) + QStringLiteral("5"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    dialog.SetItemText(assay::kSampleAreaEdit,
                       QString(62, QLatin1Char(' ')) + QStringLiteral("56"));
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.area, 5u);
}

TEST(DataExchange, NarrowTextsSurviveTheRoundTrip) {
    ValuesDialog dialog;
    dialog.name = "\xb1 err \xb5"; // 8-bit code page bytes: shown byte by byte
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(assay::kNameEdit), QStringLiteral("\u00b1 err \u00b5"));
    dialog.name = "Z\xc3\xa4hler"; // UTF-8
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(assay::kNameEdit), QStringLiteral("Z\u00e4hler"));
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.name, "Z\xc3\xa4hler");
}

// Return and Escape never reach a dialog or its controls: no default button fires, no edit
// reports Return, the dialog stays open; other keys pass.
TEST(ReturnAndEscape, AreSwallowedAsPressReleaseAndCharacter) {
    CDialogBase dialog(res::kDialogRunConfig);
    auto* start = dialog.ControlAs<QPushButton>(run::kStartButton);
    start->setDefault(true);
    int startClicks = 0;
    QObject::connect(start, &QPushButton::clicked, [&] { ++startClicks; });
    auto* cancel = dialog.ControlAs<QPushButton>(run::kCancelButton);
    int cancelClicks = 0;
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancelClicks; });
    auto* edit = Edit(dialog, run::kCounterNameEdit);
    int returns = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    bool cancelled = false;
    dialog.OnCommand(run::kCancelButton, [&] { cancelled = true; });
    dialog.show();

    for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(start),
                            static_cast<QWidget*>(&dialog), dialog.Client()}) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            SendKey(target, type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            SendKey(target, type, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
            SendKey(target, type, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            // The characters 13 and 27 typed as Ctrl+M and Ctrl+[.
            SendKey(target, type, Qt::Key_M, Qt::ControlModifier, QStringLiteral("\r"));
            SendKey(target, type, Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"));
        }
        EXPECT_TRUE(SendKey(target, QEvent::ShortcutOverride, Qt::Key_Escape));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(startClicks, 0);
    EXPECT_EQ(cancelClicks, 0);
    EXPECT_EQ(returns, 0);
    EXPECT_FALSE(cancelled);

    SendKey(edit, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

TEST(ReturnAndEscape, AlsoCoverControlsAddedLater) {
    CDialogBase dialog(res::kDialogRunConfig);
    auto* late = new QLineEdit(dialog.Client());
    int returns = 0;
    QObject::connect(late, &QLineEdit::returnPressed, [&] { ++returns; });
    dialog.show();
    SendKey(late, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    SendKey(late, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(returns, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ReturnAndEscape, ReachADialogThatTurnsTheGuardOff) {
    CDialogBase about(res::kDialogAbout);
    about.SetReturnEscapeGuard(false);
    about.show();
    SendKey(about.Control(nivra::ui::about::kOkButton), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(CommandDispatch, ButtonsAndCommandsReachTheirHandlers) {
    ValuesDialog dialog;
    std::vector<int> calls;
    dialog.OnCommand(assay::kLoadButton, [&] { calls.push_back(assay::kLoadButton); });
    dialog.OnCommandRange(assay::kSaveButton, assay::kSaveAsDefaultButton,
                          [&](int id) { calls.push_back(id); });
    dialog.ControlAs<QPushButton>(assay::kLoadButton)->click();
    dialog.ControlAs<QPushButton>(assay::kSaveAsDefaultButton)->click();
    EXPECT_TRUE(dialog.DispatchCommand(assay::kSaveButton));
    constexpr int kNoSuchCommand = 4242;
    EXPECT_FALSE(dialog.DispatchCommand(kNoSuchCommand));
    EXPECT_EQ(calls, (std::vector<int>{assay::kLoadButton, assay::kSaveAsDefaultButton,
                                       assay::kSaveButton}));
}

TEST(CommandDispatch, CloseButtonAndCloseBoxCancelAndOkReadsTheFieldsFirst) {
    {
        ValuesDialog dialog;
        dialog.show();
        dialog.ControlAs<QPushButton>(assay::kCloseButton)->click();
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
        dialog.SetItemText(assay::kSampleAreaEdit, QStringLiteral("x"));
        dialog.DispatchCommand(res::kIdOk);
        EXPECT_TRUE(dialog.isVisible()); // the field failed: the dialog stays
        dialog.SetItemText(assay::kSampleAreaEdit, QStringLiteral("8"));
        dialog.DispatchCommand(res::kIdOk);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.area, 8u);
    }
}

TEST(CommandDispatch, EditChangesAreNotified) {
    ValuesDialog dialog;
    int changes = 0;
    dialog.OnNotify(assay::kNameEdit, CDialogBase::Notification::Changed, [&] { ++changes; });
    dialog.SetItemText(assay::kNameEdit, QStringLiteral("x"));
    dialog.SetItemText(assay::kSampleAreaEdit,
                       QStringLiteral("1")); // another edit: not this handler
    EXPECT_EQ(changes, 1);
}

TEST(DialogInit, RunsOnceShowsTheValuesAndFocusesTheFirstControl) {
    ValuesDialog dialog;
    dialog.InitDialog();
    dialog.show();
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.ItemText(assay::kSampleAreaEdit), QStringLiteral("1000"));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(assay::kNameEdit));
}

} // namespace
