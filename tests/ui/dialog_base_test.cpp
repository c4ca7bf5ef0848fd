#include "ui/controls/dialog_base.h"
#include "ui/resources/resource_ids.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace res = nivra::res;
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
        dx.Text(1022, area);
        dx.Text(1023, name);
        dx.Text(1011, hours);
        dx.Text(1012, offset);
        dx.Text(1079, rate);
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
    EXPECT_EQ(dialog.ItemText(1022), QStringLiteral("1000"));
    EXPECT_EQ(dialog.ItemText(1023), QStringLiteral("Plate"));
    EXPECT_EQ(dialog.ItemText(1011), QStringLiteral("4294967295"));
    EXPECT_EQ(dialog.ItemText(1012), QStringLiteral("-3"));
    EXPECT_EQ(dialog.ItemText(1079), QStringLiteral("0.84"));
    dialog.rate = 4.0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(1079), QStringLiteral("4"));
    dialog.rate = 1.0 / 3.0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(1079), QStringLiteral("0.333333333333333"));
}

TEST(DataExchange, NumbersAreReadAsTheCInputConversionsReadThem) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.SetItemText(1022, QStringLiteral("  42 cm"));
    dialog.SetItemText(1023, QStringLiteral("  spaced name "));
    dialog.SetItemText(1011, QStringLiteral("-1"));
    dialog.SetItemText(1012, QStringLiteral("+17"));
    dialog.SetItemText(1079, QStringLiteral("1.5e2x"));
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
    dialog.SetItemText(1022, QStringLiteral("77"));
    dialog.SetItemText(1023, QStringLiteral("New name"));
    dialog.SetItemText(1011, QStringLiteral("")); // empty: does not convert
    dialog.SetItemText(1079, QStringLiteral("9"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    EXPECT_EQ(dialog.area, 77u);        // read before the bad field
    EXPECT_EQ(dialog.name, "New name"); // read before the bad field
    EXPECT_EQ(dialog.hours, 2u);        // the bad field keeps its value
    EXPECT_EQ(dialog.rate, 0.84);       // not read
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(1011));

    prompts.Clear();
    dialog.SetItemText(1011, QStringLiteral("5"));
    dialog.SetItemText(1079, QStringLiteral("abc"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a number.")});
    EXPECT_EQ(dialog.hours, 5u);
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(1079));
    EXPECT_EQ(Edit(dialog, 1079)->selectedText(), QStringLiteral("abc"));
}

TEST(DataExchange, OnlyTheFirst63CharactersOfANumberAreRead) {
    ScriptedPrompts prompts;
    ValuesDialog dialog;
    dialog.UpdateData(false);
    dialog.SetItemText(1022, QString(63, QLatin1Char(' ')) + QStringLiteral("5"));
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    dialog.SetItemText(1022, QString(62, QLatin1Char(' ')) + QStringLiteral("56"));
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.area, 5u);
}

TEST(DataExchange, NarrowTextsSurviveTheRoundTrip) {
    ValuesDialog dialog;
    dialog.name = "\xb1 err \xb5"; // 8-bit code page bytes: shown byte by byte
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(1023), QStringLiteral("\u00b1 err \u00b5"));
    dialog.name = "Z\xc3\xa4hler"; // UTF-8
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ItemText(1023), QStringLiteral("Z\u00e4hler"));
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.name, "Z\xc3\xa4hler");
}

// Return and Escape never reach a dialog or its controls: no default button fires, no edit
// reports Return, the dialog stays open; other keys pass.
TEST(ReturnAndEscape, AreSwallowedAsPressReleaseAndCharacter) {
    CDialogBase dialog(res::kDialogRunConfig);
    auto* start = dialog.ControlAs<QPushButton>(1026);
    start->setDefault(true);
    int startClicks = 0;
    QObject::connect(start, &QPushButton::clicked, [&] { ++startClicks; });
    auto* cancel = dialog.ControlAs<QPushButton>(res::kIdCancel);
    int cancelClicks = 0;
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancelClicks; });
    auto* edit = Edit(dialog, 1024);
    int returns = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returns; });
    bool cancelled = false;
    dialog.OnCommand(res::kIdCancel, [&] { cancelled = true; });
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
    SendKey(about.Control(res::kIdOk), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(CommandDispatch, ButtonsAndCommandsReachTheirHandlers) {
    ValuesDialog dialog;
    std::vector<int> calls;
    dialog.OnCommand(1014, [&] { calls.push_back(1014); });
    dialog.OnCommandRange(1015, 1019, [&](int id) { calls.push_back(id); });
    dialog.ControlAs<QPushButton>(1014)->click();
    dialog.ControlAs<QPushButton>(1019)->click();
    EXPECT_TRUE(dialog.DispatchCommand(1015));
    EXPECT_FALSE(dialog.DispatchCommand(4242));
    EXPECT_EQ(calls, (std::vector<int>{1014, 1019, 1015}));
}

TEST(CommandDispatch, CloseButtonAndCloseBoxCancelAndOkReadsTheFieldsFirst) {
    {
        ValuesDialog dialog;
        dialog.show();
        dialog.ControlAs<QPushButton>(res::kIdCancel)->click(); // "Close"
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
        dialog.SetItemText(1022, QStringLiteral("x"));
        dialog.DispatchCommand(res::kIdOk);
        EXPECT_TRUE(dialog.isVisible()); // the field failed: the dialog stays
        dialog.SetItemText(1022, QStringLiteral("8"));
        dialog.DispatchCommand(res::kIdOk);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.area, 8u);
    }
}

TEST(CommandDispatch, EditChangesAreNotified) {
    ValuesDialog dialog;
    int changes = 0;
    dialog.OnNotify(1023, CDialogBase::Notification::Changed, [&] { ++changes; });
    dialog.SetItemText(1023, QStringLiteral("x"));
    dialog.SetItemText(1022, QStringLiteral("1")); // another edit: not this handler
    EXPECT_EQ(changes, 1);
}

TEST(DialogInit, RunsOnceShowsTheValuesAndFocusesTheFirstControl) {
    ValuesDialog dialog;
    dialog.InitDialog();
    dialog.show();
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.ItemText(1022), QStringLiteral("1000"));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(1023));
}

} // namespace
