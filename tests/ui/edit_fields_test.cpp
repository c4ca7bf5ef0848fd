#include "ui/controls/edit_fields.h"
#include "ui_test_support.h"

#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

using nivra::test::ScriptedPrompts;

namespace {

namespace ui = nivra::ui;

TEST(EditFields, ValuesAreShownInDecimalAndWithFifteenSignificantDigits) {
    QLineEdit edit;
    const std::pair<double, const char*> reals[] = {
        {0.84, "0.84"}, {4.0, "4"}, {1.0 / 3.0, "0.333333333333333"}};
    for (const auto& [value, shown] : reals) {
        ui::showNumber(&edit, value);
        EXPECT_EQ(edit.text(), QString::fromLatin1(shown));
    }
    ui::showNumber(&edit, std::uint32_t{4294967295u});
    EXPECT_EQ(edit.text(), QStringLiteral("4294967295"));
    ui::showNumber(&edit, std::int32_t{-3});
    EXPECT_EQ(edit.text(), QStringLiteral("-3"));
}

// Each kind of field against texts the C input conversions accept or refuse, with the message a
// refusal brings and the value it leaves.
TEST(EditFields, NumbersAreReadAsTheCInputConversionsReadThem) {
    struct Case {
        const char* text;
        bool unsignedOk;
        std::uint32_t unsignedValue;
        bool wholeOk;
        bool realOk;
        double realValue;
    };
    const Case cases[] = {
        {"  42 cm", true, 42u, false, true, 42.0},
        {"-1", true, 4294967295u, false, true, -1.0},
        {" 17 ", true, 17u, true, true, 17.0},
        {"1.5e2x", true, 1u, false, true, 150.0},
        {"", false, 7u, false, false, 7.0},
        {"abc", false, 7u, false, false, 7.0},
        {"2147483648", true, 2147483648u, false, true, 2147483648.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedPrompts prompts;
        QLineEdit edit(QString::fromLatin1(c.text));
        std::uint32_t number = 7;
        EXPECT_EQ(ui::readUnsigned(prompts, &edit, number), c.unsignedOk);
        EXPECT_EQ(number, c.unsignedValue);
        std::uint32_t whole = 7;
        EXPECT_EQ(ui::readWholeNumber(prompts, &edit, whole), c.wholeOk);
        EXPECT_EQ(whole, c.wholeOk ? 17u : 7u);
        double real = 7.0;
        EXPECT_EQ(ui::readReal(prompts, &edit, real), c.realOk);
        EXPECT_EQ(real, c.realValue);
        QStringList expected;
        if (!c.unsignedOk)
            expected << QStringLiteral("Enter a positive integer.");
        if (!c.wholeOk)
            expected << QStringLiteral("Enter a positive integer.");
        if (!c.realOk)
            expected << QStringLiteral("Enter a number.");
        EXPECT_EQ(prompts.messageTexts(), expected);
    }
    ScriptedPrompts prompts;
    QLineEdit signedEdit(QStringLiteral("+17"));
    std::int32_t offset = 0;
    EXPECT_TRUE(ui::readInteger(prompts, &signedEdit, offset));
    EXPECT_EQ(offset, 17);
    signedEdit.setText(QStringLiteral("x"));
    EXPECT_FALSE(ui::readInteger(prompts, &signedEdit, offset));
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter an integer.")});
}

TEST(EditFields, ARefusedFieldIsFocusedWithItsTextSelected) {
    ScriptedPrompts prompts;
    QDialog dialog;
    auto* first = new QLineEdit(QStringLiteral("1"), &dialog);
    auto* bad = new QLineEdit(QStringLiteral("abc"), &dialog);
    dialog.show();
    first->setFocus();
    double value = 0.5;
    EXPECT_FALSE(ui::readReal(prompts, bad, value));
    EXPECT_EQ(value, 0.5);
    EXPECT_EQ(dialog.focusWidget(), bad);
    EXPECT_EQ(bad->selectedText(), QStringLiteral("abc"));
}

TEST(EditFields, OnlyTheFirst63CharactersOfANumberAreRead) {
    ScriptedPrompts prompts;
    QLineEdit edit(QString(63, QLatin1Char(' ')) + QStringLiteral("5"));
    std::uint32_t area = 1000;
    EXPECT_FALSE(ui::readUnsigned(prompts, &edit, area));
    edit.setText(QString(62, QLatin1Char(' ')) + QStringLiteral("56"));
    EXPECT_TRUE(ui::readUnsigned(prompts, &edit, area));
    EXPECT_EQ(area, 5u);
}

TEST(EditFields, NarrowTextsSurviveTheRoundTrip) {
    QLineEdit edit;
    ui::showText(&edit, "\xb1 err \xb5"); // 8-bit code page bytes: shown byte by byte
    EXPECT_EQ(edit.text(), QStringLiteral("\u00b1 err \u00b5"));
    ui::showText(&edit, "Z\xc3\xa4hler"); // UTF-8
    EXPECT_EQ(edit.text(), QStringLiteral("Z\u00e4hler"));
    EXPECT_EQ(ui::readText(&edit), "Z\xc3\xa4hler");
}

} // namespace
