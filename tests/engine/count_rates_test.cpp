// Runs four counters on one simulated line in real time, at rates from a few to thousands of
// counts a second, and judges every point against the simulator's own truth: the events the
// counter saw in the point's span.

#include "counter_link/counter_manager.h"
#include "counter_link/counter_protocol.h"
#include "engine/assay_run.h"
#include "engine/counter_access.h"
#include "model/assay_data.h"
#include "support/run_fakes.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <optional>

using namespace nivra;
using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t kPoints = 3;
// One exchange on the wire: a two-byte request and a two-byte reply, ten bits a byte.
constexpr double kExchangeWireSeconds = 4 * 10 / 19200.0;

struct CounterRun {
    CounterRun(CounterAccess& access, int counter, const AssayConfig& assay)
        : data(CounterConfig::defaults(), assay, counter) {
        run = AssayRun::start(data, observer, RunEnvironment{nullptr, &access});
    }
    AssayData data;
    test::RecordingObserver observer;
    std::unique_ptr<AssayRun> run;
};

bool overLimitRecorded(const AssayData& data) {
    const auto lines = data.headerLines();
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("Count rate above the counter's limit: ", 0) == 0;
    });
}

class CountRates : public ::testing::TestWithParam<double> {};

} // namespace

TEST_P(CountRates, FourCountersOnOneLineMatchTheSimulatorsTruth) {
    const double rate = GetParam();
    test::SimWorkspace workspace(sim::SimulatorSettings{rate, 11});
    auto& port = workspace.addPort("ttySIM0", {1, 2, 3, 4});
    for (std::uint8_t counter = 1; counter <= 4; ++counter)
        port.keepEventTimes(counter);
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({workspace.path("ttySIM0")}), 4);
    CounterManagerAccess access(manager);

    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
    assay.dwellSeconds = 1;
    assay.totalSeconds = kPoints;
    std::vector<std::unique_ptr<CounterRun>> runs;
    for (int counter = 1; counter <= 4; ++counter)
        runs.push_back(std::make_unique<CounterRun>(access, counter, assay));
    for (auto& run : runs) {
        ASSERT_TRUE(run->observer.waitForFinished(20s));
        run->run.reset();
    }

    const auto log = port.requests();
    for (std::uint8_t counter = 1; counter <= 4; ++counter) {
        const AssayData& data = runs[counter - 1u]->data;
        std::optional<sim::SimTime> reset;
        std::vector<sim::SimTime> reads;
        for (const auto& request : log) {
            if (request.counter != counter)
                continue;
            if (request.command == protocol::CMD_RESET && !reset)
                reset = request.received;
            if (request.command == protocol::CMD_READ)
                reads.push_back(request.received);
        }
        ASSERT_TRUE(reset);
        ASSERT_GE(reads.size(), 2u);
        std::chrono::duration<double> widest{0};
        for (std::size_t i = 1; i < reads.size(); ++i)
            widest = std::max<std::chrono::duration<double>>(widest, reads[i] - reads[i - 1]);
        // A point may be off by the counts of one reading interval at each of its ends.
        const double interval = rate * widest.count();
        const double tolerance = interval + 3 * std::sqrt(interval) + 2;

        const auto counts = data.counts();
        ASSERT_EQ(counts.size(), kPoints);
        std::uint64_t truthTotal = 0;
        bool exact = true;
        for (std::uint32_t k = 0; k < kPoints; ++k) {
            const auto truth = port.eventsBetween(counter, *reset + std::chrono::seconds(k),
                                                  *reset + std::chrono::seconds(k + 1));
            truthTotal += truth;
            exact &=
                std::abs(static_cast<double>(counts[k]) - static_cast<double>(truth)) <= tolerance;
        }
        // Well within the counter's limit every point is right and nothing is flagged; closer to
        // it a single difference may come near a whole turn of the register and be flagged; and
        // where the widest reading interval could hide a turn (a starved machine can stretch it)
        // a point that is off is never silent.
        const std::string which = "counter " + std::to_string(counter);
        if (interval <= 120.0) {
            EXPECT_FALSE(overLimitRecorded(data)) << which;
        }
        if (interval <= 192.0) {
            EXPECT_TRUE(exact) << which;
        } else {
            EXPECT_TRUE(exact || overLimitRecorded(data)) << which << ": counts lost silently";
        }

        const double seconds = std::chrono::duration<double>(reads.back() - reads.front()).count();
        std::printf("rate=%.0f counter=%d recorded=%lld truth=%llu readings_per_s=%.1f "
                    "widest_gap_ms=%.1f line_busy=%.1f%% over_limit=%d\n",
                    rate, counter,
                    static_cast<long long>(std::accumulate(counts.begin(), counts.end(), 0LL)),
                    static_cast<unsigned long long>(truthTotal),
                    static_cast<double>(reads.size() - 1) / seconds, widest.count() * 1000,
                    100.0 * static_cast<double>(reads.size()) * kExchangeWireSeconds / seconds,
                    overLimitRecorded(data) ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(StepsUpToBeyondTheLimit, CountRates,
                         ::testing::Values(50.0, 500.0, 2000.0, 3000.0));
