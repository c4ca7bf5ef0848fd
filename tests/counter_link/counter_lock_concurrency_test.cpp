#include "counter_link/counter_manager.h"
#include "support/sim_workspace.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using nivra::CounterManager;
using nivra::CounterPort;

using namespace std::chrono_literals;
using nivra::sim::Fault;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;

namespace {

constexpr int kReadsPerWorker = 40;

// What each worker saw: reads that succeeded with the counter's own scripted value.
struct WorkerResult {
    int succeeded = 0;
    int wrongValues = 0;
};

// A run worker's polling, as fast as it goes: reads of one counter, with a reset now and then.
void hammer(CounterPort* port, std::uint8_t counter, std::uint8_t expected, WorkerResult& result) {
    for (int i = 0; i < kReadsPerWorker; ++i) {
        std::int32_t count = -1;
        if (i % 10 == 9) {
            port->resetCount(counter);
            continue;
        }
        if (port->readCount(counter, count)) {
            ++result.succeeded;
            if (count != expected)
                ++result.wrongValues;
        }
    }
}

// The answered requests of all ports, ordered by arrival.
std::vector<RequestRecord> answered(SimWorkspace& ws) {
    std::vector<RequestRecord> all;
    for (std::size_t i = 0; i < ws.simulator().portCount(); ++i)
        for (const RequestRecord& r : ws.simulator().port(i).requests())
            if (r.replied)
                all.push_back(r);
    std::sort(all.begin(), all.end(), [](const RequestRecord& a, const RequestRecord& b) {
        return a.received < b.received;
    });
    return all;
}

} // namespace

// Workers on counters of two ports, and two workers sharing a port, all polling at once: no
// two locked exchanges may be on the wire at the same time, and every reading must be the
// reading of the counter asked.
TEST(CounterLockConcurrency, LockedExchangesNeverOverlapAcrossPorts) {
    SimWorkspace ws;
    auto& a = ws.addPort("a", {1, 2});
    auto& b = ws.addPort("b", {3});
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({ws.path("a"), ws.path("b")}), 3);

    // Every reading of counter n is values[n], resets or not; replies come a little late, so
    // that exchanges would overlap if the lock let them.
    const std::uint8_t values[] = {0, 11, 22, 33};
    for (std::uint8_t n = 1; n <= 3; ++n) {
        auto& port = n == 3 ? b : a;
        port.queueReadings(n, std::vector<std::uint8_t>(kReadsPerWorker, values[n]));
        port.setFault(n, Fault::lateReply(2ms).onlyFor(nivra::protocol::CMD_READ));
    }

    WorkerResult results[4];
    std::vector<std::thread> workers;
    for (std::uint8_t n = 1; n <= 3; ++n) {
        workers.emplace_back([&, n] {
            WorkerResult mine;
            hammer(manager.portFor(n), n, values[n], mine);
            results[n] = mine;
        });
    }
    for (auto& w : workers)
        w.join();

    for (std::uint8_t n = 1; n <= 3; ++n) {
        EXPECT_EQ(results[n].succeeded, kReadsPerWorker * 9 / 10) << "counter " << int(n);
        EXPECT_EQ(results[n].wrongValues, 0) << "counter " << int(n);
    }
    auto answered = ::answered(ws);
    EXPECT_EQ(answered.size(), 3u /* discovery probes */ + 3 * kReadsPerWorker);
    for (std::size_t i = 1; i < answered.size(); ++i)
        EXPECT_LE(*answered[i - 1].replied, answered[i].received)
            << "exchange " << i << " began before exchange " << i - 1 << " ended";
}

// Readings taken while another thread resets and reads the same counter stay within the
// register's range: the port's buffers are never shared by two exchanges.
TEST(CounterLockConcurrency, TwoWorkersOnOneCounterGetWholeReplies) {
    SimWorkspace ws;
    auto& line = ws.addPort("line", {1});
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({ws.path("line")}), 1);
    line.setRate(1, 0);
    line.setRegister(1, 0);

    std::atomic<int> failures{0};
    auto worker = [&] {
        for (int i = 0; i < kReadsPerWorker; ++i) {
            std::int32_t count = -1;
            if (!manager.portFor(1)->readCount(1, count) || count != 0)
                ++failures;
            if (!manager.portFor(1)->resetCount(1))
                ++failures;
        }
    };
    std::thread first(worker);
    std::thread second(worker);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
}
