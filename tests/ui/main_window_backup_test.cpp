// The window and the backup files: kept and interrupted backups named at start-up and when a run
// keeps one, a folder that cannot take backups asked about before a run, and failing saves
// during a run shown once and in the status until a save works again.

#include "engine/backup_file.h"
#include "main_window_fixture.h"

using nivra::ui::NEW;
using nivra::ui::RUNNING;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

using BackupTest = MainWindowTest;

// A backup with a start line and a point, and without an end line unless finished: the backup of
// an interrupted run.
void writeBackup(const std::string& path, bool finished = false) {
    AssayData data(CounterConfig::defaults(), AssayConfig::defaults(), 1);
    data.appendHeaderLine("Start Time: 01/02/26 03:04:05");
    if (finished)
        data.appendHeaderLine("STOP TIME: 01/02/26 04:04:05");
    data.appendPoint(9);
    ASSERT_TRUE(saveDataFile(data, path));
}

QStringList messagesStartingWith(const ScriptedPrompts& prompts, const QString& prefix) {
    QStringList found;
    for (const QString& text : prompts.messageTexts())
        if (text.startsWith(prefix))
            found << text;
    return found;
}

} // namespace

TEST_F(BackupTest, LeftOverBackupsAreNamedAtStartUpAndAKeptOneWhenARunStarts) {
    writeBackup(dir_.file("backup_data/backup_1.dax"));
    writeBackup(dir_.file("backup_data/backup_2-20251231-235959.dax"));
    writeBackup(dir_.file("backup_data/backup_3.dax"), true);
    open();
    const QString folder = QString::fromStdString(dir_.file("backup_data"));
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"Backups of interrupted runs in " + folder +
                                                   ": backup_1.dax, backup_2-20251231-235959.dax"});

    prompts_.clear();
    startRun(1, writeAssay("short", 1, 2));
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"The backup of an interrupted run was kept as " +
                                                   folder + "/backup_1-20260102-030405.dax"});
}

TEST_F(BackupTest, AFolderThatCannotTakeBackupsIsAskedAboutBeforeTheRun) {
    std::filesystem::remove_all(dir_.file("backup_data"));
    open();
    const QString question = "Backups cannot be written to " +
                             QString::fromStdString(dir_.file("backup_data")) +
                             ": No such file or directory. Start anyway?";
    writeCounterConfig(1);
    assayFile_ = writeAssay("short", 1, 2);
    choose(res::Command::Counter1);
    choose(res::Command::FileNew);
    prompts_.reply(nivra::ui::Answer::No);
    choose(res::Command::RunStart);
    EXPECT_EQ(window_->slot(1).state, NEW);
    EXPECT_EQ(prompts_.messageTexts(), QStringList{question});
    prompts_.reply(nivra::ui::Answer::Yes);
    choose(res::Command::RunStart);
    EXPECT_EQ(window_->slot(1).state, RUNNING);
}

// The backup folder goes away after the second second and comes back after the fifth.
TEST_F(BackupTest, AFailingSaveIsShownOnceAndInTheStatusUntilASaveWorks) {
    open();
    counters_.setRate(1, 1);
    const std::int64_t t0 = clock_.startSeconds();
    clock_.pauseAt(t0 + 2);
    startRun(1, writeAssay("short", 1, 8));
    ASSERT_TRUE(clock_.waitUntilPaused());
    std::filesystem::rename(dir_.file("backup_data"), dir_.file("moved"));
    clock_.pauseAt(t0 + 5);
    clock_.resume();
    ASSERT_TRUE(clock_.waitUntilPaused());
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::status) == "RUNNING, backup not saved"; }));
    EXPECT_EQ(
        messagesStartingWith(prompts_, "Backup not saved: "),
        QStringList{"Backup not saved: " + QString::fromStdString(dir_.start().backupData(1)) +
                    ": No such file or directory"});

    std::filesystem::rename(dir_.file("moved"), dir_.file("backup_data"));
    clock_.pauseAt(std::numeric_limits<std::int64_t>::max());
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_EQ(text(&Ui::status), "STOPPED");
    EXPECT_EQ(messagesStartingWith(prompts_, "Backup not saved: ").size(), 1);
    EXPECT_EQ(readDataFile(dir_.start().backupData(1))->counts(), window_->slot(1).data->counts());
}
