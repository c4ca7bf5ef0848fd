// The window and the backup files: kept and interrupted backups named at start-up and when a run
// keeps one, a folder that cannot take backups asked about before a run, and failing saves
// during a run shown once and in the status until a save works again.

#include "engine/backup_file.h"
#include "main_window_fixture.h"

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

using BackupTest = MainWindowTest;

// A backup with a start line and a point, and without an end line unless finished: the backup of
// an interrupted run.
void WriteBackup(const std::string& path, bool finished = false) {
    AssayData data(CounterConfig::Defaults(), AssayConfig::Defaults(), 1);
    data.appendHeaderLine("Start Time: 01/02/26 03:04:05");
    if (finished)
        data.appendHeaderLine("STOP TIME: 01/02/26 04:04:05");
    data.appendPoint(9);
    ASSERT_TRUE(saveDataFile(data, path));
}

QStringList MessagesStartingWith(const ScriptedPrompts& prompts, const QString& prefix) {
    QStringList found;
    for (const QString& text : prompts.MessageTexts())
        if (text.startsWith(prefix))
            found << text;
    return found;
}

} // namespace

TEST_F(BackupTest, LeftOverBackupsAreNamedAtStartUpAndAKeptOneWhenARunStarts) {
    WriteBackup(dir_.file("backup_data/backup_1.dax"));
    WriteBackup(dir_.file("backup_data/backup_2-20251231-235959.dax"));
    WriteBackup(dir_.file("backup_data/backup_3.dax"), true);
    Open();
    const QString folder = QString::fromStdString(dir_.file("backup_data"));
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"Backups of interrupted runs in " + folder +
                                                   ": backup_1.dax, backup_2-20251231-235959.dax"});

    prompts_.Clear();
    StartRun(1, WriteAssay("short", 1, 2));
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"The backup of an interrupted run was kept as " +
                                                   folder + "/backup_1-20260102-030405.dax"});
}

TEST_F(BackupTest, AFolderThatCannotTakeBackupsIsAskedAboutBeforeTheRun) {
    std::filesystem::remove_all(dir_.file("backup_data"));
    Open();
    const QString question = "Backups cannot be written to " +
                             QString::fromStdString(dir_.file("backup_data")) +
                             ": No such file or directory. Start anyway?";
    WriteCounterConfig(1);
    assayFile_ = WriteAssay("short", 1, 2);
    Choose(res::kCmdCounter1);
    Choose(res::kCmdFileNew);
    prompts_.Reply(nivra::ui::Answer::No);
    Choose(res::kCmdRunStart);
    EXPECT_EQ(window_->Slot(1).state, NEW);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{question});
    prompts_.Reply(nivra::ui::Answer::Yes);
    Choose(res::kCmdRunStart);
    EXPECT_EQ(window_->Slot(1).state, RUNNING);
}

// The backup folder goes away after the second second and comes back after the fifth.
TEST_F(BackupTest, AFailingSaveIsShownOnceAndInTheStatusUntilASaveWorks) {
    Open();
    counters_.SetRate(1, 1);
    const std::int64_t t0 = clock_.StartSeconds();
    clock_.PauseAt(t0 + 2);
    StartRun(1, WriteAssay("short", 1, 8));
    ASSERT_TRUE(clock_.WaitUntilPaused());
    std::filesystem::rename(dir_.file("backup_data"), dir_.file("moved"));
    clock_.PauseAt(t0 + 5);
    clock_.Resume();
    ASSERT_TRUE(clock_.WaitUntilPaused());
    ASSERT_TRUE(PumpUntil([&] { return Text(ids::kStatusLabel) == "RUNNING, backup not saved"; }));
    EXPECT_EQ(MessagesStartingWith(prompts_, "Backup not saved: "),
              QStringList{"Backup not saved: " + QString::fromStdString(BackupDataPath(1)) +
                          ": No such file or directory"});

    std::filesystem::rename(dir_.file("moved"), dir_.file("backup_data"));
    clock_.PauseAt(std::numeric_limits<std::int64_t>::max());
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_EQ(Text(ids::kStatusLabel), "STOPPED");
    EXPECT_EQ(MessagesStartingWith(prompts_, "Backup not saved: ").size(), 1);
    EXPECT_EQ(readDataFile(BackupDataPath(1))->counts(), window_->Slot(1).data->counts());
}
