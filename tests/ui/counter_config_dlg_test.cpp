#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui_test_support.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

using nivra::CounterConfig;
using nivra::StartDirectory;
using nivra::ui::CounterConfigDlg;

namespace {

// Why a file in a folder that does not exist was not saved, as the system says it.
const QString kNoFolder = QStringLiteral("No such file or directory");

using nivra::test::fileExists;
using nivra::test::readFileBytes;
using nivra::test::ScriptedPrompts;
using nivra::test::sendKey;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using nivra::ui::Answer;
using nivra::ui::FileDialogRequest;
using Dlg = CounterConfigDlg;

const QString kOverwriteQuestion = QStringLiteral(
    "Saving this configuration as default will overwrite current default configuration.");

class CounterConfigDialog : public ::testing::Test {
protected:
    void makeConfigFolder() { std::filesystem::create_directory(dir_.file("counter_config")); }
    std::string slotFile(int n) const {
        return dir_.file("counter_config/counter" + std::to_string(n) + ".ccx");
    }
    std::string file(const std::string& name) const { return dir_.file(name); }
    StartDirectory start() const { return dir_.start(); }

    // The four edits, in template order.
    static std::vector<QLineEdit*> edits(const Dlg& dialog) {
        const nivra::ui::CounterConfigUi& ui = dialog.ui();
        return {ui.name, ui.description, ui.detectorArea, ui.detectorEfficiency};
    }
    static QStringList fields(const Dlg& dialog) {
        QStringList texts;
        for (const QLineEdit* edit : edits(dialog))
            texts << edit->text();
        return texts;
    }
    static void typeInto(Dlg& dialog, const QStringList& texts) {
        for (int i = 0; i < texts.size(); ++i)
            edits(dialog)[i]->setText(texts[i]);
    }

private:
    TempDir dir_;
};

TEST_F(CounterConfigDialog, TheViewerGetsThePlaceholderTitleAndFileZero) {
    makeConfigFolder();
    ScriptedPrompts prompts;
    prompts.reply(Answer::Ok);
    Dlg dialog(prompts, 0, start());
    dialog.show();
    const QString title = QStringLiteral("  Viewer (Place holder) Counter Configuration  ");
    EXPECT_EQ(dialog.windowTitle(), title);
    EXPECT_EQ(dialog.ui().counterGroup->title(), title);
    dialog.ui().saveAsDefault->click();
    EXPECT_TRUE(fileExists(slotFile(0)));
}

TEST_F(CounterConfigDialog, ACounterWithoutFileOpensOnDefaultsAndSaveAsDefaultCreatesItsFile) {
    makeConfigFolder();
    ScriptedPrompts prompts;
    prompts.reply(Answer::Ok);
    Dlg dialog(prompts, 3, start());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("  Counter 3 Configuration  "));
    EXPECT_EQ(dialog.ui().counterGroup->title(), QStringLiteral("  Counter 3 Configuration  "));
    EXPECT_EQ(fields(dialog), (QStringList{"", "", "1000", "0.84"}));
    EXPECT_EQ(dialog.focusWidget(), dialog.ui().name);

    typeInto(dialog, {"Alpha 3", "ZnS, shelf 2", "250", "0.315"});
    dialog.ui().saveAsDefault->click();
    EXPECT_EQ(
        prompts.messageTexts(),
        (QStringList{kOverwriteQuestion, QStringLiteral("Saved Default Counter Configuration.")}));
    CounterConfig saved(slotFile(3));
    EXPECT_EQ(saved.name, "Alpha 3");
    EXPECT_EQ(saved.description, "ZnS, shelf 2");
    EXPECT_EQ(saved.detectorArea, 250u);
    EXPECT_EQ(saved.detectorEfficiency, 0.315);

    Dlg reopened(prompts, 3, start());
    EXPECT_EQ(fields(reopened), (QStringList{"Alpha 3", "ZnS, shelf 2", "250", "0.315"}));
}

TEST_F(CounterConfigDialog, LoadedValuesGoToTheSlotFileAndTheLoadedFileStaysUnchanged) {
    makeConfigFolder();
    const std::string other = file("spare.ccx");
    writeFileBytes(other, "[COUNTER CONFIG]\r\nCOUNTER NAME=Spare\r\nDESCRIPTION 0=bench\r\n"
                          "DETECTOR AREA=500\r\nDETECTOR EFFICIENCY=0.500000\r\n");
    const std::string otherBefore = readFileBytes(other);
    ScriptedPrompts prompts;
    prompts.chooseFile(QString::fromStdString(other)).reply(Answer::Ok);
    Dlg dialog(prompts, 2, start());
    dialog.ui().name->setText(QStringLiteral("unsaved"));
    dialog.ui().load->click();
    EXPECT_EQ(fields(dialog), (QStringList{"Spare", "bench", "500", "0.5"}));

    dialog.ui().description->setText(QStringLiteral("bench, recalibrated"));
    dialog.ui().saveAsDefault->click();
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{QStringLiteral("Loaded."), kOverwriteQuestion,
                           QStringLiteral("Saved Default Counter Configuration.")}));
    EXPECT_EQ(readFileBytes(other), otherBefore);
    CounterConfig slot(slotFile(2));
    EXPECT_EQ(slot.name, "Spare");
    EXPECT_EQ(slot.description, "bench, recalibrated");
    EXPECT_EQ(slot.detectorArea, 500u);
    EXPECT_EQ(prompts.questions()[0].file.filters,
              (std::vector<nivra::ui::FileFilter>{{"Counter Config Nivra (*.ccx)", "*.ccx"}}));
}

TEST_F(CounterConfigDialog, ShowsAndWritesTheWindowsCodePage) {
    makeConfigFolder();
    writeFileBytes(slotFile(1), "[COUNTER CONFIG]\r\nCOUNTER NAME=Z\xE4hler \x80\r\n"
                                "DESCRIPTION 0=\x93"
                                "A\x94\r\nDETECTOR AREA=5\r\n"
                                "DETECTOR EFFICIENCY=0.5\r\n");
    ScriptedPrompts prompts;
    prompts.reply(Answer::Ok);
    Dlg dialog(prompts, 1, start());
    EXPECT_EQ(fields(dialog), (QStringList{QString::fromUtf8("Z\u00e4hler \u20ac"),
                                           QString::fromUtf8("\u201cA\u201d"), "5", "0.5"}));
    dialog.ui().description->setText(QString::fromUtf8("\u00b5Sv \u2013 \u2713"));
    dialog.ui().saveAsDefault->click();
    EXPECT_EQ(readFileBytes(slotFile(1)), "[COUNTER CONFIG]\r\nCOUNTER NAME=Z\xE4hler \x80\r\n"
                                          "DESCRIPTION 0=\xB5Sv \x96 ?\r\nDETECTOR AREA=5\r\n"
                                          "DETECTOR EFFICIENCY=0.500000\r\n");
}

// A refused field stops the save: the file would not hold what was typed, yet the operator would
// read "Saved.". Corrected, the same click saves it.
TEST_F(CounterConfigDialog, LettersInTheAreaStopTheSaveUntilCorrected) {
    ScriptedPrompts prompts;
    Dlg dialog(prompts, 1, start());
    dialog.show();
    typeInto(dialog, {"New name", "New description", "ten", "0.9"});
    dialog.ui().save->click();

    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    EXPECT_EQ(prompts.questions().size(), 1u); // no file dialog
    EXPECT_EQ(dialog.focusWidget(), dialog.ui().detectorArea);
    EXPECT_EQ(dialog.ui().detectorArea->selectedText(), QStringLiteral("ten"));

    prompts.clear();
    prompts.chooseFile(QString::fromStdString(file("edited")));
    dialog.ui().detectorArea->setText(QStringLiteral("10"));
    dialog.ui().save->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Saved.")});
    CounterConfig saved(file("edited.ccx"));
    EXPECT_EQ(saved.name, "New name");
    EXPECT_EQ(saved.description, "New description");
    EXPECT_EQ(saved.detectorArea, 10u);
    EXPECT_EQ(saved.detectorEfficiency, 0.9);
}

TEST_F(CounterConfigDialog, AWriteThatFailsIsReportedWithTheFileNeverAsSaved) {
    // No counter_config folder: the slot file cannot be written.
    ScriptedPrompts prompts;
    prompts.reply(Answer::Ok).chooseFile(QString::fromStdString(file("missing/c.ccx")));
    Dlg dialog(prompts, 3, start());
    dialog.ui().saveAsDefault->click();
    dialog.ui().save->click();
    EXPECT_EQ(
        prompts.messageTexts(),
        (QStringList{kOverwriteQuestion,
                     nivra::ui::fileNotSavedMessage(QString::fromStdString(slotFile(3)), kNoFolder),
                     nivra::ui::fileNotSavedMessage(QString::fromStdString(file("missing/c.ccx")),
                                                    kNoFolder)}));
    EXPECT_FALSE(fileExists(slotFile(3)));
}

TEST_F(CounterConfigDialog, ReturnAndEscapeDoNothingAndCloseWritesNothing) {
    makeConfigFolder();
    ScriptedPrompts prompts;
    Dlg dialog(prompts, 1, start());
    dialog.show();
    dialog.ui().description->setText(QStringLiteral("one line"));
    for (QLineEdit* edit : {dialog.ui().name, dialog.ui().description, dialog.ui().detectorArea}) {
        sendKey(edit, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        sendKey(edit, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ui().description->text(), QStringLiteral("one line"));
    EXPECT_TRUE(prompts.questions().empty());

    dialog.ui().close->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fileExists(slotFile(1)));
}

} // namespace

// An efficiency typed as a percentage is not saved; the message says that it is a fraction.
TEST_F(CounterConfigDialog, AnEfficiencyAboveOneIsNotSaved) {
    ScriptedPrompts prompts;
    prompts.chooseFile(QString::fromStdString(file("pct")));
    Dlg dialog(prompts, 1, start());
    dialog.show();
    typeInto(dialog, {"pct", "", "100", "84"});
    dialog.ui().save->click();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QString::fromStdString(file("pct.ccx")) +
                          ": the detector efficiency (DETECTOR EFFICIENCY) is 84; it must be a "
                          "fraction above 0 and at most 1 (the efficiency is a fraction: 0.84 "
                          "means 84 %)"});
    EXPECT_FALSE(fileExists(file("pct.ccx")));
}

// The area is digits only, at most 2147483647: what the C conversion would wrap, cut or stop
// early in is refused where it was typed.
TEST_F(CounterConfigDialog, AnAreaThatIsNoWholeNumberIsRefusedWhereItWasTyped) {
    for (const char* text : {"42 cm", "-1", "1.5", "+3", "2147483648", "4294967297"}) {
        ScriptedPrompts prompts;
        Dlg dialog(prompts, 1, start());
        dialog.show();
        typeInto(dialog, {"n", "d", text, "0.5"});
        dialog.ui().save->click();
        EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a positive integer.")})
            << text;
        EXPECT_EQ(dialog.focusWidget(), dialog.ui().detectorArea) << text;
    }
}
