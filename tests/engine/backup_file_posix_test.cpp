// Backups against a full disk, made with a file size limit in a child process.

#include "backup_files_fixture.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TEST_F(BackupFiles, TheFolderCheckLeavesNothingAndFindsAFullDisk) {
    EXPECT_EQ(backupFolderProblem(dir_.start(), 1), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir_.file("backup_data"))); // the probe is gone
    // A disk that takes no byte more, in a child so the limit stays there.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &none);
        ::_exit(backupFolderProblem(dir_.start(), 1) == "File too large" ? 0 : 1);
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
    EXPECT_EQ(readDataFile(dir_.start().backupData(1))->pointCount(), 6u);
}
