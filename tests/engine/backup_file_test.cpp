#include "base/start_directory.h"
#include "engine/assay_run.h"
#include "engine/backup_file.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace nivra;
using nivra::test::TempDir;

namespace {

// Keeps what a run says about its backup.
class BackupObserver final : public RunObserver {
public:
    void backupKept(int, const std::string& keptPath) override { kept.push_back(keptPath); }
    void backupSaved(int, bool ok, const std::string& reason) override {
        saves.push_back(ok ? "ok" : reason);
    }
    void pointClosed(int, int number, std::int32_t) override {
        if (onPoint)
            onPoint(number);
    }
    void finished(int, EndReason) override { done = true; }

    std::vector<std::string> kept;
    std::vector<std::string> saves;
    std::function<void(int)> onPoint;
    std::atomic<bool> done = false;
};

class BackupFiles : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(dir_.file("backup_data")); }

    // A run of `points` one-second dwells on counter 1; returns when it has ended.
    AssayData run(BackupObserver& observer, int points = 3) {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = 1;
        assay.totalSeconds = static_cast<std::uint32_t>(points);
        AssayData data(CounterConfig::defaults(), assay, 1);
        test::VirtualClock clock;
        test::ScriptedCounter counter({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        auto run = AssayRun::start(data, observer, RunEnvironment{&clock, &counter});
        for (int i = 0; i < 10000 && !observer.done; ++i)
            ::usleep(1000);
        EXPECT_TRUE(observer.done);
        return data;
    }

    // A backup as a run leaves it, with or without its end line.
    std::string writeBackup(const std::string& name, std::vector<std::string> lines) {
        AssayData data(CounterConfig::defaults(), AssayConfig::defaults(), 1);
        for (const std::string& line : lines)
            data.appendHeaderLine(line);
        data.appendPoint(42);
        const std::string path = dir_.file("backup_data/" + name);
        EXPECT_TRUE(saveDataFile(data, path));
        return path;
    }

    TempDir dir_;
    test::StartDirectoryScope start_{dir_.path()};
};

} // namespace

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
    auto own = readDataFile(backupDataPath(1));
    EXPECT_EQ(own->pointCount(), 3u);
    EXPECT_TRUE(endsWithEndLine(own->headerLines()));
    BackupObserver second;
    run(second, 2);
    EXPECT_TRUE(second.kept.empty());
    EXPECT_EQ(readDataFile(backupDataPath(1))->pointCount(), 2u);

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

TEST_F(BackupFiles, TheFolderCheckLeavesNothingAndFindsAFullDisk) {
    EXPECT_EQ(backupFolderProblem(1), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir_.file("backup_data"))); // the probe is gone
    // A disk that takes no byte more, in a child so the limit stays there.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &none);
        ::_exit(backupFolderProblem(1) == "File too large" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// A disk that fills after the second point and has room again after the fourth: the run goes on,
// and reports each save with the reason of its failure.
TEST_F(BackupFiles, EverySaveIsReportedAndTheRunGoesOnWhenTheDiskIsFull) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        BackupObserver observer;
        observer.onPoint = [](int number) {
            const rlimit limit{number == 2 ? rlim_t{100} : RLIM_INFINITY, RLIM_INFINITY};
            if (number == 2 || number == 4)
                ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        const AssayData data = run(observer, 6);
        std::string report = std::to_string(data.pointCount());
        for (const std::string& save : observer.saves)
            report += "," + save;
        ::write(pipe[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(report, "6,ok,ok,File too large,File too large,ok,ok,ok");
    EXPECT_EQ(readDataFile(backupDataPath(1))->pointCount(), 6u);
}
