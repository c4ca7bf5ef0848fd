// The run configuration dialog: what it proposes, what START needs, the run it starts, and the
// keys that must not press its buttons.

#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

using nivra::ui::RunConfigDlg;

using namespace nivra;
using namespace nivra::test;

namespace {

class RunConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"assay_config", "counter_config", "backup_data"})
            std::filesystem::create_directory(dir_.file(folder));
    }

    std::string writeCounterConfig(const std::string& path, const std::string& name) {
        CounterConfig config = CounterConfig::defaults();
        config.name = name;
        EXPECT_TRUE(config.write(path).ok());
        return path;
    }
    std::string writeAssay(const std::string& name) {
        AssayConfig assay = AssayConfig::defaults();
        assay.name = name;
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = 1;
        assay.totalSeconds = 2;
        const std::string path = dir_.file("assay_config/" + name + ".acx");
        EXPECT_TRUE(assay.write(path).ok());
        return path;
    }

    TempDir dir_;
    const nivra::StartDirectory start_ = dir_.start();
    ScriptedPrompts prompts_;
};

// Without the counter's own configuration file nothing is proposed, and START needs both.
TEST_F(RunConfigDlgTest, StartNeedsBothConfigurationsAndOpenDialogsMayBeCancelled) {
    RunConfigDlg dialog(prompts_, 3, start_);
    EXPECT_EQ(dialog.ui().counterNumber->text(), "3");
    EXPECT_TRUE(dialog.ui().counterNumber->isReadOnly());
    EXPECT_EQ(dialog.ui().counterName->text(), "");
    prompts_.cancelFile();
    dialog.ui().openAssay->click();
    EXPECT_EQ(dialog.ui().assayName->text(), "");

    const std::string other = writeCounterConfig(dir_.file("counter_config/spare.ccx"), "spare");
    prompts_.chooseFile(QString::fromStdString(other));
    dialog.ui().openCounter->click();
    EXPECT_EQ(dialog.ui().counterName->text(), "spare");
    EXPECT_EQ(prompts_.questions().back().file.filters,
              (std::vector<ui::FileFilter>{{"Counter Config Nivra (*.ccx)", "*.ccx"}}));

    dialog.ui().start->click();
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList{"Missing a configuration file nessesary to start assay"});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(RunConfigDlgTest, StartClosesWithBothConfigurations) {
    writeCounterConfig(start_.counterConfig(2), "bench two");
    const std::string assay = writeAssay("two seconds");
    RunConfigDlg dialog(prompts_, 2, start_);
    EXPECT_EQ(dialog.ui().counterName->text(),
              "bench two"); // the counter's own configuration
    prompts_.chooseFile(QString::fromStdString(assay));
    dialog.ui().openAssay->click();
    EXPECT_EQ(dialog.ui().assayName->text(), "two seconds");
    EXPECT_EQ(prompts_.questions().back().file.filters,
              (std::vector<ui::FileFilter>{{"Assay Config Nivra (*.acx)", "*.acx"}}));

    dialog.ui().start->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.counterConfiguration() && dialog.assayConfiguration());
    EXPECT_EQ(dialog.counterConfiguration()->name, "bench two");
    EXPECT_EQ(dialog.assayConfiguration()->name, "two seconds");
    EXPECT_EQ(dialog.assayConfiguration()->totalSeconds, 2u);
    EXPECT_TRUE(prompts_.messageTexts().isEmpty());
}

TEST_F(RunConfigDlgTest, ReturnAndEscapeNeitherStartNorClose) {
    writeCounterConfig(start_.counterConfig(1), "bench");
    prompts_.chooseFile(QString::fromStdString(writeAssay("ready")));
    RunConfigDlg dialog(prompts_, 1, start_);
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, [&] { finished = true; });
    dialog.ui().openAssay->click();

    for (QWidget* target :
         {static_cast<QWidget*>(&dialog), static_cast<QWidget*>(dialog.ui().start),
          static_cast<QWidget*>(dialog.ui().cancel),
          static_cast<QWidget*>(dialog.ui().assayName)}) {
        target->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            sendKey(target, QEvent::KeyPress, key);
            sendKey(target, QEvent::KeyRelease, key);
        }
    }
    EXPECT_FALSE(finished);
    EXPECT_TRUE(prompts_.messageTexts().isEmpty());
}

} // namespace

namespace {

// START refuses what a run could not keep, with the message the command line gives, and stays.
TEST_F(RunConfigDlgTest, StartRefusesAConfigurationARunCannotKeep) {
    writeCounterConfig(start_.counterConfig(1), "bench");
    const std::string junk = dir_.file("assay_config/junk.acx");
    writeFileBytes(junk, "not a configuration\n");
    RunConfigDlg dialog(prompts_, 1, start_);
    prompts_.chooseFile(QString::fromStdString(junk));
    dialog.ui().openAssay->click();
    dialog.ui().start->click();
    EXPECT_EQ(prompts_.messageTexts(), QStringList{QString::fromStdString(
                                           junk + ": the file has no [ASSAY CONFIG] section")});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.ui().assayFile->text(),
              QString::fromStdString(junk)); // the choices stay
}

} // namespace
