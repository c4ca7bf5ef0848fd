#pragma once

// A start directory with a backup folder, runs of one-second dwells on a scripted counter, and
// what they report about their backups.

#include "base/start_directory.h"
#include "engine/assay_run.h"
#include "engine/backup_file.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace nivra;
using nivra::test::TempDir;

namespace nivra::test {

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
        auto run = AssayRun::start(data, observer, RunEnvironment{&clock, &counter, dir_.start()});
        for (int i = 0; i < 10000 && !observer.done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
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
};

} // namespace nivra::test

using nivra::test::BackupFiles;
using nivra::test::BackupObserver;
