#include "backup_files_fixture.h"

// ---- An interrupted run's backup is kept; a finished one is replaced ----

TEST_F(BackupFiles, AnInterruptedBackupIsKeptUnderItsStartTimeAndNeverOverwritten) {
    const std::string interrupted = "Start Time: 01/02/26 03:04:05";
    const std::string bytes = test::readFileBytes(writeBackup("backup_1.dax", {interrupted}));
    BackupObserver first;
    run(first);
    const std::string kept = dir_.file("backup_data/backup_1-20260102-030405.dax");
    EXPECT_EQ(first.kept, std::vector<std::string>{kept});
    EXPECT_EQ(test::readFileBytes(kept), bytes);
    // The run's own backup ends with its end line, so the next run replaces it.
    auto own = readDataFile(dir_.start().backupData(1));
    EXPECT_EQ(own->pointCount(), 3u);
    EXPECT_TRUE(endsWithEndLine(own->headerLines()));
    BackupObserver second;
    run(second, 2);
    EXPECT_TRUE(second.kept.empty());
    EXPECT_EQ(readDataFile(dir_.start().backupData(1))->pointCount(), 2u);

    // Another interrupted run with the same start time gets -2; a stop line counts as an end.
    writeBackup("backup_1.dax", {interrupted, "comment"});
    BackupObserver third;
    run(third);
    EXPECT_EQ(third.kept,
              std::vector<std::string>{dir_.file("backup_data/backup_1-20260102-030405-2.dax")});
    writeBackup("backup_1.dax", {interrupted, "STOP TIME: 01/02/26 04:00:00"});
    BackupObserver fourth;
    run(fourth);
    EXPECT_TRUE(fourth.kept.empty());
}

// ---- A backup that cannot be written is said to be so ----
