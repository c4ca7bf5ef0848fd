#include "counter_link/counter_manager.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

using nivra::CounterManager;
using nivra::CounterPort;

using nivra::OpenFailure;
using nivra::SkippedPort;
using nivra::protocol::CMD_PROBE;
using nivra::protocol::CMD_ZERO;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;

namespace {

std::vector<std::pair<int, int>> requestsOf(const nivra::sim::SimulatedPort& port) {
    std::vector<std::pair<int, int>> requests;
    for (const RequestRecord& r : port.requests())
        requests.emplace_back(r.counter, r.command);
    return requests;
}

using RequestList = std::vector<std::pair<int, int>>;

// True when nobody holds the device: a fresh port can open it.
bool deviceIsFree(const std::string& name) {
    CounterPort probe;
    return probe.open(name);
}

} // namespace

TEST(Discovery, NumbersCountersConsecutivelyAcrossPortsInListOrder) {
    SimWorkspace ws;
    auto& com3 = ws.addPort("com3", {1, 2});
    auto& com5 = ws.addPort("com5", {3});
    CounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.discoverCounters({ws.path("com3"), ws.path("com5")}, &skipped), 3);
    EXPECT_TRUE(skipped.empty());

    ASSERT_NE(manager.portFor(1), nullptr);
    EXPECT_EQ(manager.portFor(1), manager.portFor(2));
    EXPECT_EQ(manager.portFor(1)->deviceName(), ws.path("com3"));
    ASSERT_NE(manager.portFor(3), nullptr);
    EXPECT_EQ(manager.portFor(3)->deviceName(), ws.path("com5"));
    EXPECT_EQ(manager.portFor(0), nullptr);
    EXPECT_EQ(manager.portFor(4), nullptr);
    EXPECT_TRUE(manager.portFor(1)->isOpen());
    EXPECT_TRUE(manager.portFor(3)->isOpen());

    // One zero frame per port before its first probe; each chain ends at the first silence.
    EXPECT_EQ(requestsOf(com3),
              (RequestList{{0, CMD_ZERO}, {1, CMD_PROBE}, {2, CMD_PROBE}, {3, CMD_PROBE}}));
    EXPECT_EQ(requestsOf(com5), (RequestList{{0, CMD_ZERO}, {3, CMD_PROBE}, {4, CMD_PROBE}}));
}

TEST(Discovery, AGapInAChainEndsIt) {
    SimWorkspace ws;
    ws.addPort("com3", {1, 3});
    CounterManager manager;
    EXPECT_EQ(manager.discoverCounters({ws.path("com3")}), 1);
    EXPECT_NE(manager.portFor(1), nullptr);
    EXPECT_EQ(manager.portFor(3), nullptr);
}

TEST(Discovery, APortWhoseFirstCounterIsNotTheNextNumberIsClosedAndSkipped) {
    SimWorkspace ws;
    ws.addPort("com3", {2});
    CounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.discoverCounters({ws.path("com3")}, &skipped), 0);
    EXPECT_EQ(manager.portFor(2), nullptr);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].deviceName, ws.path("com3"));
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNoCounter);
    EXPECT_EQ(skipped[0].expectedCounter, 1);
    EXPECT_TRUE(deviceIsFree(ws.path("com3")));
}

TEST(Discovery, TheNextNumberIsTriedAgainOnTheNextDevice) {
    SimWorkspace ws;
    ws.addPort("empty", {});
    ws.addPort("counters", {1});
    nivra::test::writeFileBytes(ws.path("plain"), "");
    CounterManager manager;
    std::vector<SkippedPort> skipped;
    const std::vector<std::string> list = {ws.path("missing"), ws.path("plain"), ws.path("empty"),
                                           ws.path("counters")};
    EXPECT_EQ(manager.discoverCounters(list, &skipped), 1);
    EXPECT_EQ(manager.portFor(1)->deviceName(), ws.path("counters"));

    ASSERT_EQ(skipped.size(), 3u);
    EXPECT_EQ(skipped[0].deviceName, ws.path("missing"));
    EXPECT_EQ(skipped[0].openFailure, OpenFailure::kNotFound);
    EXPECT_EQ(skipped[1].openFailure, OpenFailure::kNotATerminal);
    EXPECT_EQ(skipped[2].reason, SkippedPort::Reason::kNoCounter);
    EXPECT_EQ(skipped[2].expectedCounter, 1);
}

TEST(Discovery, TheSameDeviceListedTwiceIsUsedOnce) {
    SimWorkspace ws;
    auto& line = ws.addPort("com3", {1});
    CounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.discoverCounters({ws.path("com3"), line.devicePath()}, &skipped), 1);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNotOpened);
    EXPECT_EQ(skipped[0].openFailure, OpenFailure::kBusy);
}

TEST(Discovery, StopsAtCounter255WithoutWrappingToZero) {
    SimWorkspace ws;
    std::vector<std::uint8_t> all;
    for (int n = 1; n <= 255; ++n)
        all.push_back(static_cast<std::uint8_t>(n));
    auto& full = ws.addPort("full", all);
    ws.addPort("more", {1});
    CounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.discoverCounters({ws.path("full"), ws.path("more")}, &skipped), 255);
    EXPECT_NE(manager.portFor(255), nullptr);
    EXPECT_EQ(manager.portFor(0), nullptr);
    for (const RequestRecord& r : full.requests())
        EXPECT_FALSE(r.command == CMD_PROBE && r.counter == 0);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNumbersExhausted);
    EXPECT_TRUE(deviceIsFree(ws.path("more")));
}

TEST(Discovery, TeardownClosesEveryPortAndEmptiesTheRegistry) {
    SimWorkspace ws;
    auto& a = ws.addPort("a", {1});
    auto& b = ws.addPort("b", {2});
    CounterManager manager;
    ASSERT_EQ(manager.discoverCounters({ws.path("a"), ws.path("b")}), 2);
    std::size_t sentBefore = a.requests().size() + b.requests().size();
    manager.teardown();
    EXPECT_EQ(manager.portFor(1), nullptr);
    EXPECT_EQ(manager.portFor(2), nullptr);
    EXPECT_TRUE(deviceIsFree(ws.path("a")));
    EXPECT_TRUE(deviceIsFree(ws.path("b")));
    EXPECT_EQ(a.requests().size() + b.requests().size(), sentBefore); // nothing sent
}
