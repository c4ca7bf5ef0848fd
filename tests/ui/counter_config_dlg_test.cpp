#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/resources/counter_config_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using nivra::test::FileExists;
using nivra::test::ReadFileBytes;
using nivra::test::ScriptedPrompts;
using nivra::test::SendKey;
using nivra::test::TempDir;
using nivra::test::WriteFileBytes;
using nivra::ui::Answer;
using nivra::ui::FileDialogRequest;
using Dlg = CCounterConfigDlg;
namespace ids = nivra::ui::counter_config;

const QString kOverwriteQuestion = QStringLiteral(
    "Saving this configuration as default will overwrite current default configuration.");

class CounterConfigDialog : public ::testing::Test {
protected:
    void MakeConfigFolder() { std::filesystem::create_directory(dir_.file("counter_config")); }
    std::string SlotFile(int n) const {
        return dir_.file("counter_config/counter" + std::to_string(n) + ".ccx");
    }
    std::string File(const std::string& name) const { return dir_.file(name); }

    static QStringList Fields(const Dlg& dialog) {
        return {dialog.ItemText(ids::kNameEdit), dialog.ItemText(ids::kDescriptionEdit),
                dialog.ItemText(ids::kDetectorAreaEdit),
                dialog.ItemText(ids::kDetectorEfficiencyEdit)};
    }
    static void Type(Dlg& dialog, const QStringList& texts) {
        const int edits[] = {ids::kNameEdit, ids::kDescriptionEdit, ids::kDetectorAreaEdit,
                             ids::kDetectorEfficiencyEdit};
        for (int i = 0; i < texts.size(); ++i)
            dialog.SetItemText(edits[i], texts[i]);
    }

private:
    TempDir dir_;
    nivra::test::StartDirectoryScope start_{dir_.path()};
};

TEST_F(CounterConfigDialog, TheViewerGetsThePlaceholderTitleAndFileZero) {
    MakeConfigFolder();
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Ok);
    Dlg dialog(0);
    dialog.show();
    const QString title = QStringLiteral("  Viewer (Place holder) Counter Configuration  ");
    EXPECT_EQ(dialog.windowTitle(), title);
    EXPECT_EQ(dialog.ItemText(ids::kCounterGroup), title);
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    EXPECT_TRUE(FileExists(SlotFile(0)));
}

TEST_F(CounterConfigDialog, ACounterWithoutFileOpensOnDefaultsAndSaveAsDefaultCreatesItsFile) {
    MakeConfigFolder();
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Ok);
    Dlg dialog(3);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("  Counter 3 Configuration  "));
    EXPECT_EQ(dialog.ItemText(ids::kCounterGroup), QStringLiteral("  Counter 3 Configuration  "));
    EXPECT_EQ(Fields(dialog), (QStringList{"", "", "1000", "0.84"}));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(ids::kNameEdit));

    Type(dialog, {"Alpha 3", "ZnS, shelf 2", "-1", "0.315"});
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    EXPECT_EQ(
        prompts.MessageTexts(),
        (QStringList{kOverwriteQuestion, QStringLiteral("Saved Default Counter Configuration.")}));
    CounterConfig saved(SlotFile(3));
    EXPECT_EQ(saved.name, "Alpha 3");
    EXPECT_EQ(saved.description, "ZnS, shelf 2");
    EXPECT_EQ(saved.detectorArea, 4294967295u); // "-1" wraps as the C conversion does
    EXPECT_EQ(saved.detectorEfficiency, 0.315);

    Dlg reopened(3);
    reopened.InitDialog();
    EXPECT_EQ(Fields(reopened), (QStringList{"Alpha 3", "ZnS, shelf 2", "4294967295", "0.315"}));
}

TEST_F(CounterConfigDialog, LoadedValuesGoToTheSlotFileAndTheLoadedFileStaysUnchanged) {
    MakeConfigFolder();
    const std::string other = File("spare.ccx");
    WriteFileBytes(other, "[COUNTER CONFIG]\r\nCOUNTER NAME=Spare\r\nDESCRIPTION 0=bench\r\n"
                          "DETECTOR AREA=500\r\nDETECTOR EFFICIENCY=0.500000\r\n");
    const std::string otherBefore = ReadFileBytes(other);
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(other)).Reply(Answer::Ok);
    Dlg dialog(2);
    dialog.InitDialog();
    dialog.SetItemText(ids::kNameEdit, QStringLiteral("unsaved"));
    dialog.DispatchCommand(ids::kLoadButton);
    EXPECT_EQ(Fields(dialog), (QStringList{"Spare", "bench", "500", "0.5"}));

    dialog.SetItemText(ids::kDescriptionEdit, QStringLiteral("bench, recalibrated"));
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{QStringLiteral("Loaded."), kOverwriteQuestion,
                           QStringLiteral("Saved Default Counter Configuration.")}));
    EXPECT_EQ(ReadFileBytes(other), otherBefore);
    CounterConfig slot(SlotFile(2));
    EXPECT_EQ(slot.name, "Spare");
    EXPECT_EQ(slot.description, "bench, recalibrated");
    EXPECT_EQ(slot.detectorArea, 500u);
    EXPECT_EQ(prompts.Questions()[0].file.filters,
              (std::vector<nivra::ui::FileFilter>{{"Counter Config Nivra (*.ccx)", "*.ccx"}}));
}

TEST_F(CounterConfigDialog, ShowsAndWritesTheWindowsCodePage) {
    MakeConfigFolder();
    WriteFileBytes(SlotFile(1), "[COUNTER CONFIG]\r\nCOUNTER NAME=Z\xE4hler \x80\r\n"
                                "DESCRIPTION 0=\x93"
                                "A\x94\r\nDETECTOR AREA=5\r\n"
                                "DETECTOR EFFICIENCY=0.5\r\n");
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Ok);
    Dlg dialog(1);
    dialog.InitDialog();
    EXPECT_EQ(Fields(dialog), (QStringList{QString::fromUtf8("Z\u00e4hler \u20ac"),
                                           QString::fromUtf8("\u201cA\u201d"), "5", "0.5"}));
    dialog.SetItemText(ids::kDescriptionEdit, QString::fromUtf8("\u00b5Sv \u2013 \u2713"));
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    EXPECT_EQ(ReadFileBytes(SlotFile(1)), "[COUNTER CONFIG]\r\nCOUNTER NAME=Z\xE4hler \x80\r\n"
                                          "DESCRIPTION 0=\xB5Sv \x96 ?\r\nDETECTOR AREA=5\r\n"
                                          "DETECTOR EFFICIENCY=0.500000\r\n");
}

TEST_F(CounterConfigDialog, LettersInTheAreaKeepTheOldNumbersButTheNewTexts) {
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(File("edited")));
    Dlg dialog(1);
    dialog.show();
    Type(dialog, {"New name", "New description", "ten", "0.9"});
    dialog.DispatchCommand(ids::kSaveButton);

    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{QStringLiteral("Enter a positive integer."), QStringLiteral("Saved.")}));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(ids::kDetectorAreaEdit));
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(ids::kDetectorAreaEdit)->selectedText(),
              QStringLiteral("ten"));
    EXPECT_EQ(prompts.Questions()[1].file.mode, FileDialogRequest::Mode::Save);
    CounterConfig saved(File("edited.ccx"));
    EXPECT_EQ(saved.name, "New name");
    EXPECT_EQ(saved.description, "New description");
    EXPECT_EQ(saved.detectorArea, 1000u);
    EXPECT_EQ(saved.detectorEfficiency, 0.84);
}

TEST_F(CounterConfigDialog, AWriteThatFailsIsReportedWithTheFileNeverAsSaved) {
    // No counter_config folder: the slot file cannot be written.
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Ok).ChooseFile(QString::fromStdString(File("missing/c.ccx")));
    Dlg dialog(3);
    dialog.InitDialog();
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    dialog.DispatchCommand(ids::kSaveButton);
    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{kOverwriteQuestion,
                           QStringLiteral("File not saved: ") + QString::fromStdString(SlotFile(3)),
                           QStringLiteral("File not saved: ") +
                               QString::fromStdString(File("missing/c.ccx"))}));
    EXPECT_FALSE(FileExists(SlotFile(3)));
}

TEST_F(CounterConfigDialog, ReturnAndEscapeDoNothingAndCloseWritesNothing) {
    MakeConfigFolder();
    ScriptedPrompts prompts;
    Dlg dialog(1);
    dialog.show();
    dialog.SetItemText(ids::kDescriptionEdit, QStringLiteral("one line"));
    for (int id : {ids::kNameEdit, ids::kDescriptionEdit, ids::kDetectorAreaEdit}) {
        SendKey(dialog.Control(id), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                QStringLiteral("\r"));
        SendKey(dialog.Control(id), QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier,
                QStringLiteral("\x1b"));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ItemText(ids::kDescriptionEdit), QStringLiteral("one line"));
    EXPECT_TRUE(prompts.Questions().empty());

    dialog.ControlAs<QPushButton>(ids::kCloseButton)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(FileExists(SlotFile(1)));
}

} // namespace
