// The run configuration dialog: what it proposes, what START needs, the run it starts, and the
// keys that must not press its buttons.

#include "base/start_directory.h"
#include "support/temp_dir.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui/resources/run_config_controls.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <filesystem>
#include <gtest/gtest.h>

using namespace nivra;
using namespace nivra::test;

namespace {

namespace ids = nivra::ui::run_config;

class RunConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"assay_config", "counter_config", "backup_data"})
            std::filesystem::create_directory(dir_.file(folder));
    }

    std::string WriteCounterConfig(const std::string& path, const std::string& name) {
        CounterConfig config = CounterConfig::Defaults();
        config.name = name;
        EXPECT_TRUE(config.write(path).ok());
        return path;
    }
    std::string WriteAssay(const std::string& name) {
        AssayConfig assay = AssayConfig::Defaults();
        assay.name = name;
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = 1;
        assay.totalSeconds = 2;
        const std::string path = dir_.file("assay_config/" + name + ".acx");
        EXPECT_TRUE(assay.write(path).ok());
        return path;
    }

    TempDir dir_;
    nivra::test::StartDirectoryScope start_{dir_.path()};
    ScriptedPrompts prompts_;
};

// Without the counter's own configuration file nothing is proposed, and START needs both.
TEST_F(RunConfigDlgTest, StartNeedsBothConfigurationsAndOpenDialogsMayBeCancelled) {
    CAssayRunConfigDlg dialog(3);
    dialog.InitDialog();
    EXPECT_EQ(dialog.ItemText(ids::kCounterNumberEdit), "3");
    EXPECT_TRUE(dialog.ControlAs<QLineEdit>(ids::kCounterNumberEdit)->isReadOnly());
    EXPECT_EQ(dialog.ItemText(ids::kCounterNameEdit), "");
    prompts_.CancelFile();
    dialog.DispatchCommand(ids::kOpenAssayButton);
    EXPECT_EQ(dialog.ItemText(ids::kAssayNameEdit), "");

    const std::string other = WriteCounterConfig(dir_.file("counter_config/spare.ccx"), "spare");
    prompts_.ChooseFile(QString::fromStdString(other));
    dialog.DispatchCommand(ids::kOpenCounterButton);
    EXPECT_EQ(dialog.ItemText(ids::kCounterNameEdit), "spare");
    EXPECT_EQ(prompts_.Questions().back().file.filters,
              (std::vector<ui::FileFilter>{{"Counter Config Nivra (*.ccx)", "*.ccx"}}));

    dialog.DispatchCommand(ids::kStartButton);
    EXPECT_EQ(prompts_.MessageTexts(),
              QStringList{"Missing a configuration file nessesary to start assay"});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(RunConfigDlgTest, StartClosesWithBothConfigurations) {
    WriteCounterConfig(CounterConfigPath(2), "bench two");
    const std::string assay = WriteAssay("two seconds");
    CAssayRunConfigDlg dialog(2);
    dialog.InitDialog();
    EXPECT_EQ(dialog.ItemText(ids::kCounterNameEdit),
              "bench two"); // the counter's own configuration
    prompts_.ChooseFile(QString::fromStdString(assay));
    dialog.DispatchCommand(ids::kOpenAssayButton);
    EXPECT_EQ(dialog.ItemText(ids::kAssayNameEdit), "two seconds");
    EXPECT_EQ(prompts_.Questions().back().file.filters,
              (std::vector<ui::FileFilter>{{"Assay Config Nivra (*.acx)", "*.acx"}}));

    dialog.DispatchCommand(ids::kStartButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.CounterConfiguration() && dialog.AssayConfiguration());
    EXPECT_EQ(dialog.CounterConfiguration()->name, "bench two");
    EXPECT_EQ(dialog.AssayConfiguration()->name, "two seconds");
    EXPECT_EQ(dialog.AssayConfiguration()->totalSeconds, 2u);
    EXPECT_TRUE(prompts_.MessageTexts().isEmpty());
}

TEST_F(RunConfigDlgTest, ReturnAndEscapeNeitherStartNorClose) {
    WriteCounterConfig(CounterConfigPath(1), "bench");
    prompts_.ChooseFile(QString::fromStdString(WriteAssay("ready")));
    CAssayRunConfigDlg dialog(1);
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, [&] { finished = true; });
    dialog.InitDialog();
    dialog.DispatchCommand(ids::kOpenAssayButton);

    for (QWidget* target :
         {static_cast<QWidget*>(&dialog), dialog.Control(ids::kStartButton),
          dialog.Control(ids::kCancelButton), dialog.Control(ids::kAssayNameEdit)}) {
        target->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SendKey(target, QEvent::KeyPress, key);
            SendKey(target, QEvent::KeyRelease, key);
        }
    }
    EXPECT_FALSE(finished);
    EXPECT_TRUE(prompts_.MessageTexts().isEmpty());
}

} // namespace

namespace {

// START refuses what a run could not keep, with the message the command line gives, and stays.
TEST_F(RunConfigDlgTest, StartRefusesAConfigurationARunCannotKeep) {
    WriteCounterConfig(CounterConfigPath(1), "bench");
    const std::string junk = dir_.file("assay_config/junk.acx");
    WriteFileBytes(junk, "not a configuration\n");
    CAssayRunConfigDlg dialog(1);
    dialog.InitDialog();
    prompts_.ChooseFile(QString::fromStdString(junk));
    dialog.DispatchCommand(ids::kOpenAssayButton);
    dialog.DispatchCommand(ids::kStartButton);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{QString::fromStdString(
                                           junk + ": the file has no [ASSAY CONFIG] section")});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.ItemText(ids::kAssayFileEdit),
              QString::fromStdString(junk)); // the choices stay
}

} // namespace
