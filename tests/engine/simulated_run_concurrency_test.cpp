// Runs against the counter simulator in real time: the run and worker threads, the serial
// exchanges and the reset rule together.

#include "base/start_directory.h"
#include "counter_link/counter_manager.h"
#include "counter_link/counter_protocol.h"
#include "engine/assay_run.h"
#include "engine/counter_access.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <numeric>

using namespace nivra;
using nivra::test::RecordingObserver;
using nivra::test::SimWorkspace;

namespace {

AssayConfig oneSecondDwells(std::uint32_t totalSeconds) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = 0;
    assay.dwellSeconds = 1;
    assay.totalHours = assay.totalMinutes = 0;
    assay.totalSeconds = totalSeconds;
    return assay;
}

// The counts a run must derive from the readings the counter really sent: the differences of
// successive readings modulo 256, from the reset at the start (the only one).
struct Expected {
    std::int64_t total = 0;
    int resets = 0;
};

Expected fromLog(const std::vector<sim::RequestRecord>& log, std::uint8_t counter) {
    Expected expected;
    std::int32_t previous = 0;
    for (const auto& request : log) {
        if (request.counter != counter)
            continue;
        if (request.command == protocol::CMD_RESET)
            ++expected.resets;
        if (request.command != protocol::CMD_READ || request.reply.size() != 2)
            continue;
        const std::int32_t reading = request.reply[1];
        expected.total += (reading - previous) & 0xFF;
        previous = reading;
    }
    return expected;
}

class SimulatedRuns : public ::testing::Test {
protected:
    void SetUp() override {
        test::usePrivateLockDirectory();
        std::filesystem::create_directory(workspace_.path("backup_data"));
    }

    struct RealRun {
        RealRun(CounterAccess& access, int counter, std::uint32_t totalSeconds,
                const StartDirectory& start)
            : data(CounterConfig::defaults(), oneSecondDwells(totalSeconds), counter) {
            run = AssayRun::start(data, observer, RunEnvironment{nullptr, &access, start});
            EXPECT_NE(run, nullptr);
        }
        bool finish() {
            bool finished = observer.waitForFinished(std::chrono::seconds(20));
            run.reset();
            return finished;
        }
        AssayData data;
        RecordingObserver observer;
        std::unique_ptr<AssayRun> run;
    };

    static std::int64_t sum(const std::vector<std::int32_t>& counts) {
        return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    }

    SimWorkspace workspace_{sim::SimulatorSettings{80.0, 7}};
    const StartDirectory start_{workspace_.folder()};
};

} // namespace

TEST_F(SimulatedRuns, AShortRunCountsEveryReadingWithOneResetAtTheStart) {
    auto& port = workspace_.addPort("ttySIM0", {1});
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({workspace_.path("ttySIM0")}), 1);
    CounterManagerAccess access(manager);

    RealRun run(access, 1, 3, start_);
    ASSERT_TRUE(run.finish());

    auto counts = run.data.counts();
    EXPECT_EQ(counts.size(), 3u);
    Expected expected = fromLog(port.requests(), 1);
    EXPECT_EQ(sum(counts), expected.total);
    EXPECT_EQ(expected.resets, 1);
    EXPECT_EQ(run.data.headerLines().back().rfind("End Time: ", 0), 0u);
    EXPECT_EQ(nivra::readDataFile(start_.backupData(1))->counts(), counts);
}

TEST_F(SimulatedRuns, TwoCountersOfOnePortRunAtTheSameTime) {
    auto& port = workspace_.addPort("ttySIM0", {1, 2});
    port.setRate(2, 20.0);
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({workspace_.path("ttySIM0")}), 2);
    CounterManagerAccess access(manager);

    RealRun first(access, 1, 2, start_);
    RealRun second(access, 2, 2, start_);
    ASSERT_TRUE(first.finish());
    ASSERT_TRUE(second.finish());

    auto log = port.requests();
    EXPECT_EQ(first.data.pointCount(), 2u);
    EXPECT_EQ(second.data.pointCount(), 2u);
    EXPECT_EQ(sum(first.data.counts()), fromLog(log, 1).total);
    EXPECT_EQ(sum(second.data.counts()), fromLog(log, 2).total);
    // Each run's reports carry its own counter number.
    for (const auto& report : first.observer.reports())
        EXPECT_EQ(report.counter, 1);
    for (const auto& report : second.observer.reports())
        EXPECT_EQ(report.counter, 2);
}
