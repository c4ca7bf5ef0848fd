#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::StartDirectory;
using nivra::ui::AssayConfigDlg;

namespace {

// Why a file in a folder that does not exist was not saved, as the system says it.
const QString kNoFolder = QStringLiteral("No such file or directory");

using nivra::test::fileExists;
using nivra::test::ScriptedPrompts;
using nivra::test::sendKey;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using nivra::ui::Answer;
using nivra::ui::FileDialogRequest;
using Dlg = AssayConfigDlg;

const QString kOverwriteQuestion = QStringLiteral(
    "Saving this configuration as default will overwrite current default configuration.");

// A start directory of its own for every test; the assay_config folder exists only when a test
// creates it.
class AssayConfigDialog : public ::testing::Test {
protected:
    void makeConfigFolder() { std::filesystem::create_directory(dir_.file("assay_config")); }
    std::string defaultFile() const { return dir_.file("assay_config/default.acx"); }
    std::string file(const std::string& name) const { return dir_.file(name); }
    StartDirectory start() const { return dir_.start(); }

    // The ten edits, in template order.
    static std::vector<QLineEdit*> edits(const Dlg& dialog) {
        const nivra::ui::AssayConfigUi& ui = dialog.ui();
        return {ui.name,          ui.dwellHours, ui.dwellMinutes,
                ui.dwellSeconds,  ui.totalHours, ui.totalMinutes,
                ui.totalSeconds,  ui.sampleArea, ui.backgroundHours,
                ui.backgroundRate};
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

const QStringList kDefaultFields = {"", "2", "2", "3", "4", "5", "6", "1000", "4", "1"};

TEST_F(AssayConfigDialog, OpensOnTheBuiltInValuesWithAnEmptyNameWhenThereIsNoDefaultFile) {
    ScriptedPrompts prompts;
    Dlg dialog(prompts, start());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Assay Configuration"));
    EXPECT_EQ(fields(dialog), kDefaultFields);
    EXPECT_EQ(dialog.focusWidget(), dialog.ui().name);
}

TEST_F(AssayConfigDialog, SaveAsDefaultIsShownAgainWhenTheDialogReopens) {
    makeConfigFolder();
    const QStringList edited = {"Swipe 7", "0", "90", "0", "25", "0", "1", "250", "0.5", "2.75"};
    {
        ScriptedPrompts prompts;
        prompts.reply(Answer::Ok);
        Dlg dialog(prompts, start());
        dialog.show();
        typeInto(dialog, edited);
        dialog.ui().saveAsDefault->click();
        EXPECT_EQ(prompts.messageTexts(),
                  (QStringList{kOverwriteQuestion, QStringLiteral("Default File Saved.")}));
        dialog.ui().close->click();
        EXPECT_FALSE(dialog.isVisible());
    }
    ScriptedPrompts prompts;
    Dlg reopened(prompts, start());
    EXPECT_EQ(fields(reopened), edited);
}

// Save as Default writes the default file, whatever file was saved before, and only after OK.
TEST_F(AssayConfigDialog, SaveAsDefaultWritesOnlyTheDefaultFileAndOnlyAfterOk) {
    makeConfigFolder();
    ScriptedPrompts prompts;
    prompts.reply(Answer::Cancel).chooseFile(QString::fromStdString(file("plate")));
    prompts.reply(Answer::Ok);
    Dlg dialog(prompts, start());
    dialog.ui().saveAsDefault->click();
    EXPECT_FALSE(fileExists(defaultFile()));
    dialog.ui().name->setText(QStringLiteral("first"));
    dialog.ui().save->click();
    dialog.ui().name->setText(QStringLiteral("second"));
    dialog.ui().saveAsDefault->click();

    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{kOverwriteQuestion, QStringLiteral("File Saved"), kOverwriteQuestion,
                           QStringLiteral("Default File Saved.")}));
    EXPECT_EQ(AssayConfig(file("plate.acx")).name, "first"); // the extension was added
    EXPECT_EQ(AssayConfig(defaultFile()).name, "second");
}

TEST_F(AssayConfigDialog, LoadAndSaveStartInTheAssayConfigFolderAndCancelChangesNothing) {
    ScriptedPrompts prompts;
    prompts.cancelFile().cancelFile();
    Dlg dialog(prompts, start());
    dialog.ui().name->setText(QStringLiteral("unsaved"));
    dialog.ui().load->click();
    dialog.ui().save->click();

    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[0].file.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(prompts.questions()[1].file.mode, FileDialogRequest::Mode::Save);
    for (const auto& question : prompts.questions()) {
        EXPECT_EQ(question.file.filters,
                  (std::vector<nivra::ui::FileFilter>{{"Assay Config Nivra (*.acx)", "*.acx"}}));
        EXPECT_EQ(question.file.startFolder, QString::fromStdString(file("assay_config")));
    }
    EXPECT_EQ(dialog.ui().name->text(), QStringLiteral("unsaved"));
}

TEST_F(AssayConfigDialog, LoadReplacesUnsavedEditsAndKeepsNumbersTheFileLacks) {
    writeFileBytes(file("a.acx"), "[ASSAY CONFIG]\r\nNAME=Filter A\r\nSAMPLE_AREA=20\r\n"
                                  "DWELL MINUTES=10\r\nBACKGROUND=0.250000\r\n");
    writeFileBytes(file("c.ccx"), "[COUNTER CONFIG]\r\nCOUNTER NAME=Counter\r\n");
    ScriptedPrompts prompts;
    prompts.chooseFile(QString::fromStdString(file("a.acx")));
    prompts.chooseFile(QString::fromStdString(file("c.ccx")));
    Dlg dialog(prompts, start());
    typeInto(dialog, {"typed", "9", "9", "9"});

    dialog.ui().load->click();
    EXPECT_EQ(fields(dialog),
              (QStringList{"Filter A", "2", "10", "3", "4", "5", "6", "20", "4", "0.25"}));
    // A counter configuration has no assay section: the name empties, every number stays.
    dialog.ui().load->click();
    EXPECT_EQ(fields(dialog), (QStringList{"", "2", "10", "3", "4", "5", "6", "20", "4", "0.25"}));
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{QStringLiteral("File Loaded"), QStringLiteral("File Loaded")}));
}

TEST_F(AssayConfigDialog, AFileThatCannotBeReadIsNotLoadedAndTheFieldsStay) {
    std::filesystem::create_directory(file("folder.acx"));
    ScriptedPrompts prompts;
    prompts.chooseFile(QString::fromStdString(file("folder.acx")));
    Dlg dialog(prompts, start());
    typeInto(dialog, {"typed", "9", "9", "9"});
    const QStringList before = fields(dialog);
    dialog.ui().load->click();
    EXPECT_EQ(fields(dialog), before);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QString::fromStdString("File not loaded: " + file("folder.acx") +
                                                 ": it is a folder")});
}

// The fields are read sample area first, then name, dwell, total, rate, background time; the
// reading stops at the first field that does not convert, and so does the save: the file would
// not hold what was typed.
TEST_F(AssayConfigDialog, AnInvalidFieldStopsTheReadingAndTheSave) {
    ScriptedPrompts prompts;
    Dlg dialog(prompts, start());
    dialog.show();

    typeInto(dialog, {"new name", "1", "1", "1", "1", "1", "1", "twelve", "7", "8"});
    dialog.ui().save->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a positive integer.")});
    EXPECT_EQ(dialog.focusWidget(), dialog.ui().sampleArea);
    EXPECT_EQ(dialog.ui().sampleArea->selectedText(), QStringLiteral("twelve"));

    // The rate is read before the background time: a bad rate stops the save as well.
    prompts.clear();
    dialog.ui().sampleArea->setText(QStringLiteral("12"));
    dialog.ui().backgroundRate->setText(QStringLiteral("n/a"));
    dialog.ui().save->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Enter a number.")});
    EXPECT_EQ(dialog.focusWidget(), dialog.ui().backgroundRate);

    // Corrected, every field reaches the file.
    prompts.clear();
    prompts.chooseFile(QString::fromStdString(file("rate.acx")));
    dialog.ui().backgroundRate->setText(QStringLiteral("7"));
    dialog.ui().backgroundHours->setText(QStringLiteral("8"));
    dialog.ui().save->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("File Saved")});
    AssayConfig rate(file("rate.acx"));
    EXPECT_EQ(rate.name, "new name");
    EXPECT_EQ(rate.sampleArea, 12u);
    EXPECT_EQ(rate.totalSeconds, 1u);
    EXPECT_EQ(rate.backgroundRate, 7.0);
    EXPECT_EQ(rate.backgroundHours, 8.0);
}

TEST_F(AssayConfigDialog, AWriteThatFailsIsReportedWithTheFileNeverAsSaved) {
    // No assay_config folder: the default file cannot be written.
    ScriptedPrompts prompts;
    prompts.reply(Answer::Ok);
    prompts.chooseFile(QString::fromStdString(file("missing/other.acx")));
    Dlg dialog(prompts, start());
    dialog.ui().saveAsDefault->click();
    dialog.ui().save->click();

    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{
                  kOverwriteQuestion,
                  nivra::ui::fileNotSavedMessage(QString::fromStdString(defaultFile()), kNoFolder),
                  nivra::ui::fileNotSavedMessage(QString::fromStdString(file("missing/other.acx")),
                                                 kNoFolder)}));
    EXPECT_FALSE(fileExists(defaultFile()));
}

TEST_F(AssayConfigDialog, ReturnAndEscapeDoNothingAndCloseWritesNothing) {
    ScriptedPrompts prompts;
    Dlg dialog(prompts, start());
    dialog.show();
    dialog.ui().name->setText(QStringLiteral("edited"));
    for (QLineEdit* edit : {dialog.ui().name, dialog.ui().sampleArea, dialog.ui().backgroundRate}) {
        sendKey(edit, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        sendKey(edit, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompts.questions().empty());

    dialog.close(); // the close box
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fileExists(defaultFile()));
}

} // namespace

namespace {

// Times a run could not keep and a sample area of 0 are not saved; the message names the file and
// the field, as the run start does.
TEST_F(AssayConfigDialog, ValuesNoRunCouldStartWithAreNeitherSavedNorSavedAsDefault) {
    makeConfigFolder();
    ScriptedPrompts prompts;
    prompts.chooseFile(QString::fromStdString(file("bad"))).reply(Answer::Ok);
    Dlg dialog(prompts, start());
    dialog.show();
    typeInto(dialog, {"no dwell", "0", "0", "0"});
    dialog.ui().save->click();
    typeInto(dialog, {"no area", "0", "1", "0", "87661", "0", "0", "0"});
    dialog.ui().saveAsDefault->click();

    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{QString::fromStdString(file("bad.acx")) +
                               ": the dwell time (DWELL HOURS, DWELL MINUTES, DWELL SECONDS) is "
                               "0 h 0 min 0 s; it must be more than 0 s",
                           kOverwriteQuestion,
                           QString::fromStdString(defaultFile()) +
                               ": the total time (TOTAL HOURS, TOTAL MINUTES, TOTAL SECONDS) is "
                               "87661 h 0 min 0 s; it must not exceed ten years (87660 h)"}));
    EXPECT_FALSE(fileExists(file("bad.acx")));
    EXPECT_FALSE(fileExists(defaultFile()));
}

} // namespace
