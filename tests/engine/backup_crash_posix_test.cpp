#include "base/start_directory.h"
#include "engine/assay_run.h"
#include "engine/counter_access.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace nivra;
using nivra::test::TempDir;

namespace {

// The child: a long run with one-second dwells, each virtual second taking about a millisecond,
// so backups are rewritten all the time. It is killed long before it ends.
[[noreturn]] void runUntilKilled(const StartDirectory& start) {
    test::VirtualClock clock(1'700'000'000, std::chrono::microseconds(250));
    test::SteadyCounter counter(clock, 1.0); // one particle a second
    RunObserver silent;
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = 0;
    assay.dwellSeconds = 1;
    assay.totalHours = 100;
    AssayData data(CounterConfig::defaults(), assay, 1);
    auto run = AssayRun::start(data, silent, RunEnvironment{&clock, &counter, start});
    for (;;)
        ::pause();
}

std::size_t countLinesStartingWith(const std::string& text, const std::string& prefix) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find("\r\n" + prefix, at)) != std::string::npos; ++at)
        ++count;
    return count;
}

} // namespace

// A run killed at any moment leaves a backup that loads as the record up to some closed dwell.
TEST(BackupCrashSafety, KilledRunLeavesACompleteBackup) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("backup_data"));
    const std::string backup = dir.start().backupData(1);

    std::random_device seed;
    std::mt19937 random(seed());
    int backupsSeen = 0;
    for (int trial = 0; trial < 25; ++trial) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            runUntilKilled(dir.start());
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 80));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        if (!test::fileExists(backup))
            continue;
        ++backupsSeen;
        AssayData loaded = *nivra::readDataFile(backup);
        std::string bytes = test::readFileBytes(backup);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "trial " << trial;
        auto counts = loaded.counts();
        ASSERT_FALSE(counts.empty()) << "trial " << trial;
        // Every point, the first one too, holds exactly its one second.
        for (std::size_t i = 0; i < counts.size(); ++i)
            ASSERT_EQ(counts[i], 1) << "point " << i << " of trial " << trial;
        // Every point in the file was read back: nothing after a gap, nothing cut off.
        EXPECT_EQ(countLinesStartingWith(bytes, "P"), counts.size());
        EXPECT_EQ(loaded.headerLineCount(), 7u);
        ::unlink(backup.c_str());
    }
    EXPECT_GT(backupsSeen, 10);
}
