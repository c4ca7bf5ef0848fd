#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/resources/assay_config_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using nivra::test::FileExists;
using nivra::test::ScriptedPrompts;
using nivra::test::SendKey;
using nivra::test::TempDir;
using nivra::test::WriteFileBytes;
using nivra::ui::Answer;
using nivra::ui::FileDialogRequest;
using Dlg = CAssayConfigDlg;
namespace ids = nivra::ui::assay_config;

const QString kOverwriteQuestion = QStringLiteral(
    "Saving this configuration as default will overwrite current default configuration.");

// A start directory of its own for every test; the assay_config folder exists only when a test
// creates it.
class AssayConfigDialog : public ::testing::Test {
protected:
    void MakeConfigFolder() { std::filesystem::create_directory(dir_.file("assay_config")); }
    std::string DefaultFile() const { return dir_.file("assay_config/default.acx"); }
    std::string File(const std::string& name) const { return dir_.file(name); }

    // The ten edits, in template order.
    static QStringList Fields(const Dlg& dialog) {
        QStringList texts;
        for (int id :
             {ids::kNameEdit, ids::kDwellHoursEdit, ids::kDwellMinutesEdit, ids::kDwellSecondsEdit,
              ids::kTotalHoursEdit, ids::kTotalMinutesEdit, ids::kTotalSecondsEdit,
              ids::kSampleAreaEdit, ids::kBackgroundHoursEdit, ids::kBackgroundRateEdit})
            texts << dialog.ItemText(id);
        return texts;
    }

    static void Type(Dlg& dialog, const QStringList& texts) {
        const int edits[] = {
            ids::kNameEdit,          ids::kDwellHoursEdit, ids::kDwellMinutesEdit,
            ids::kDwellSecondsEdit,  ids::kTotalHoursEdit, ids::kTotalMinutesEdit,
            ids::kTotalSecondsEdit,  ids::kSampleAreaEdit, ids::kBackgroundHoursEdit,
            ids::kBackgroundRateEdit};
        for (int i = 0; i < texts.size(); ++i)
            dialog.SetItemText(edits[i], texts[i]);
    }

private:
    TempDir dir_;
    nivra::test::StartDirectoryScope start_{dir_.path()};
};

const QStringList kDefaultFields = {"", "2", "2", "3", "4", "5", "6", "1000", "4", "1"};

TEST_F(AssayConfigDialog, OpensOnTheBuiltInValuesWithAnEmptyNameWhenThereIsNoDefaultFile) {
    Dlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Assay Configuration"));
    EXPECT_EQ(Fields(dialog), kDefaultFields);
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(ids::kNameEdit));
}

TEST_F(AssayConfigDialog, SaveAsDefaultIsShownAgainWhenTheDialogReopens) {
    MakeConfigFolder();
    const QStringList edited = {"Swipe 7", "0", "90", "0", "25", "0", "1", "250", "0.5", "2.75"};
    {
        ScriptedPrompts prompts;
        prompts.Reply(Answer::Ok);
        Dlg dialog;
        dialog.show();
        Type(dialog, edited);
        dialog.DispatchCommand(ids::kSaveAsDefaultButton);
        EXPECT_EQ(prompts.MessageTexts(),
                  (QStringList{kOverwriteQuestion, QStringLiteral("Default File Saved.")}));
        dialog.ControlAs<QPushButton>(ids::kCloseButton)->click();
        EXPECT_FALSE(dialog.isVisible());
    }
    Dlg reopened;
    reopened.InitDialog();
    EXPECT_EQ(Fields(reopened), edited);
}

// Save as Default writes the default file, whatever file was saved before, and only after OK.
TEST_F(AssayConfigDialog, SaveAsDefaultWritesOnlyTheDefaultFileAndOnlyAfterOk) {
    MakeConfigFolder();
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Cancel).ChooseFile(QString::fromStdString(File("plate")));
    prompts.Reply(Answer::Ok);
    Dlg dialog;
    dialog.InitDialog();
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    EXPECT_FALSE(FileExists(DefaultFile()));
    dialog.SetItemText(ids::kNameEdit, QStringLiteral("first"));
    dialog.DispatchCommand(ids::kSaveButton);
    dialog.SetItemText(ids::kNameEdit, QStringLiteral("second"));
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);

    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{kOverwriteQuestion, QStringLiteral("File Saved"), kOverwriteQuestion,
                           QStringLiteral("Default File Saved.")}));
    EXPECT_EQ(AssayConfig(File("plate.acx")).name, "first"); // the extension was added
    EXPECT_EQ(AssayConfig(DefaultFile()).name, "second");
}

TEST_F(AssayConfigDialog, LoadAndSaveStartInTheAssayConfigFolderAndCancelChangesNothing) {
    ScriptedPrompts prompts;
    prompts.CancelFile().CancelFile();
    Dlg dialog;
    dialog.InitDialog();
    dialog.SetItemText(ids::kNameEdit, QStringLiteral("unsaved"));
    dialog.DispatchCommand(ids::kLoadButton);
    dialog.DispatchCommand(ids::kSaveButton);

    ASSERT_EQ(prompts.Questions().size(), 2u);
    EXPECT_EQ(prompts.Questions()[0].file.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(prompts.Questions()[1].file.mode, FileDialogRequest::Mode::Save);
    for (const auto& question : prompts.Questions()) {
        EXPECT_EQ(question.file.filters,
                  (std::vector<nivra::ui::FileFilter>{{"Assay Config Nivra (*.acx)", "*.acx"}}));
        EXPECT_EQ(question.file.startFolder, QString::fromStdString(File("assay_config")));
    }
    EXPECT_EQ(dialog.ItemText(ids::kNameEdit), QStringLiteral("unsaved"));
}

TEST_F(AssayConfigDialog, LoadReplacesUnsavedEditsAndKeepsNumbersTheFileLacks) {
    WriteFileBytes(File("a.acx"), "[ASSAY CONFIG]\r\nNAME=Filter A\r\nSAMPLE_AREA=20\r\n"
                                  "DWELL MINUTES=10\r\nBACKGROUND=0.250000\r\n");
    WriteFileBytes(File("c.ccx"), "[COUNTER CONFIG]\r\nCOUNTER NAME=Counter\r\n");
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(File("a.acx")));
    prompts.ChooseFile(QString::fromStdString(File("c.ccx")));
    Dlg dialog;
    dialog.InitDialog();
    Type(dialog, {"typed", "9", "9", "9"});

    dialog.DispatchCommand(ids::kLoadButton);
    EXPECT_EQ(Fields(dialog),
              (QStringList{"Filter A", "2", "10", "3", "4", "5", "6", "20", "4", "0.25"}));
    // A counter configuration has no assay section: the name empties, every number stays.
    dialog.DispatchCommand(ids::kLoadButton);
    EXPECT_EQ(Fields(dialog), (QStringList{"", "2", "10", "3", "4", "5", "6", "20", "4", "0.25"}));
    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{QStringLiteral("File Loaded"), QStringLiteral("File Loaded")}));
}

TEST_F(AssayConfigDialog, AFileThatCannotBeReadIsNotLoadedAndTheFieldsStay) {
    std::filesystem::create_directory(File("folder.acx"));
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(File("folder.acx")));
    Dlg dialog;
    dialog.InitDialog();
    Type(dialog, {"typed", "9", "9", "9"});
    const QStringList before = Fields(dialog);
    dialog.DispatchCommand(ids::kLoadButton);
    EXPECT_EQ(Fields(dialog), before);
    EXPECT_EQ(prompts.MessageTexts(),
              QStringList{QString::fromStdString("File not loaded: " + File("folder.acx") +
                                                 ": it is a folder")});
}

// The fields are read sample area first, then name, dwell, total, rate, background time; the
// reading stops at the first field that does not convert, and the save goes on regardless.
TEST_F(AssayConfigDialog, AnInvalidFieldStopsTheReadingButNotTheSave) {
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(File("area.acx")));
    Dlg dialog;
    dialog.show();

    // The sample area is read first, so nothing typed reaches the file.
    Type(dialog, {"new name", "1", "1", "1", "1", "1", "1", "twelve", "7", "8"});
    dialog.DispatchCommand(ids::kSaveButton);
    EXPECT_EQ(prompts.MessageTexts(), (QStringList{QStringLiteral("Enter a positive integer."),
                                                   QStringLiteral("File Saved")}));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(ids::kSampleAreaEdit));
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(ids::kSampleAreaEdit)->selectedText(),
              QStringLiteral("twelve"));
    AssayConfig area(File("area.acx"));
    EXPECT_EQ(area.name, "");
    EXPECT_EQ(area.sampleArea, 1000u);
    EXPECT_EQ(area.dwellHours, 2u);
    EXPECT_EQ(area.totalSeconds, 6u);
    EXPECT_EQ(area.backgroundRate, 1.0);

    // The rate is read before the background time: everything up to the rate is new, the rate
    // and the time keep their old values.
    prompts.Clear();
    prompts.ChooseFile(QString::fromStdString(File("rate.acx")));
    dialog.SetItemText(ids::kSampleAreaEdit, QStringLiteral("12"));
    dialog.SetItemText(ids::kBackgroundRateEdit, QStringLiteral("n/a"));
    dialog.DispatchCommand(ids::kSaveButton);
    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{QStringLiteral("Enter a number."), QStringLiteral("File Saved")}));
    EXPECT_EQ(dialog.focusWidget(), dialog.Control(ids::kBackgroundRateEdit));
    AssayConfig rate(File("rate.acx"));
    EXPECT_EQ(rate.name, "new name");
    EXPECT_EQ(rate.sampleArea, 12u);
    EXPECT_EQ(rate.totalSeconds, 1u);
    EXPECT_EQ(rate.backgroundRate, 1.0);
    EXPECT_EQ(rate.backgroundHours, 4.0);
}

TEST_F(AssayConfigDialog, AWriteThatFailsIsReportedWithTheFileNeverAsSaved) {
    // No assay_config folder: the default file cannot be written.
    ScriptedPrompts prompts;
    prompts.Reply(Answer::Ok);
    prompts.ChooseFile(QString::fromStdString(File("missing/other.acx")));
    Dlg dialog;
    dialog.InitDialog();
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);
    dialog.DispatchCommand(ids::kSaveButton);

    EXPECT_EQ(
        prompts.MessageTexts(),
        (QStringList{kOverwriteQuestion,
                     QStringLiteral("File not saved: ") + QString::fromStdString(DefaultFile()),
                     QStringLiteral("File not saved: ") +
                         QString::fromStdString(File("missing/other.acx"))}));
    EXPECT_FALSE(FileExists(DefaultFile()));
}

TEST_F(AssayConfigDialog, ReturnAndEscapeDoNothingAndCloseWritesNothing) {
    ScriptedPrompts prompts;
    Dlg dialog;
    dialog.show();
    dialog.SetItemText(ids::kNameEdit, QStringLiteral("edited"));
    for (int id : {ids::kNameEdit, ids::kSampleAreaEdit, ids::kBackgroundRateEdit}) {
        SendKey(dialog.Control(id), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                QStringLiteral("\r"));
        SendKey(dialog.Control(id), QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier,
                QStringLiteral("\x1b"));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompts.Questions().empty());

    dialog.close(); // the close box
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(FileExists(DefaultFile()));
}

} // namespace

namespace {

// Times a run could not keep and a sample area of 0 are not saved; the message names the file and
// the field, as the run start does.
TEST_F(AssayConfigDialog, ValuesNoRunCouldStartWithAreNeitherSavedNorSavedAsDefault) {
    MakeConfigFolder();
    ScriptedPrompts prompts;
    prompts.ChooseFile(QString::fromStdString(File("bad"))).Reply(Answer::Ok);
    Dlg dialog;
    dialog.show();
    Type(dialog, {"no dwell", "0", "0", "0"});
    dialog.DispatchCommand(ids::kSaveButton);
    Type(dialog, {"no area", "0", "1", "0", "87661", "0", "0", "0"});
    dialog.DispatchCommand(ids::kSaveAsDefaultButton);

    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{QString::fromStdString(File("bad.acx")) +
                               ": the dwell time (DWELL HOURS, DWELL MINUTES, DWELL SECONDS) is "
                               "0 h 0 min 0 s; it must be more than 0 s",
                           kOverwriteQuestion,
                           QString::fromStdString(DefaultFile()) +
                               ": the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS) is "
                               "87661 h 0 min 0 s; it must not exceed ten years (87660 h)"}));
    EXPECT_FALSE(FileExists(File("bad.acx")));
    EXPECT_FALSE(FileExists(DefaultFile()));
}

} // namespace
