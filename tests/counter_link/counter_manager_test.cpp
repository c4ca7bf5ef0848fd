#include "counter_link/counter_manager.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

using nivra::OpenFailure;
using nivra::SkippedPort;
using nivra::protocol::CMD_PROBE;
using nivra::protocol::CMD_ZERO;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;

namespace {

std::vector<std::pair<int, int>> RequestsOf(const nivra::sim::SimulatedPort& port) {
    std::vector<std::pair<int, int>> requests;
    for (const RequestRecord& r : port.Requests())
        requests.emplace_back(r.counter, r.command);
    return requests;
}

using RequestList = std::vector<std::pair<int, int>>;

// True when nobody holds the device: a fresh port can open it.
bool DeviceIsFree(const std::string& name) {
    CCounterPort probe;
    return probe.Open(name);
}

} // namespace

TEST(Discovery, NumbersCountersConsecutivelyAcrossPortsInListOrder) {
    SimWorkspace ws;
    auto& com3 = ws.AddPort("com3", {1, 2});
    auto& com5 = ws.AddPort("com5", {3});
    CCounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.DiscoverCounters({ws.Path("com3"), ws.Path("com5")}, &skipped), 3);
    EXPECT_TRUE(skipped.empty());

    ASSERT_NE(manager.PortFor(1), nullptr);
    EXPECT_EQ(manager.PortFor(1), manager.PortFor(2));
    EXPECT_EQ(manager.PortFor(1)->DeviceName(), ws.Path("com3"));
    ASSERT_NE(manager.PortFor(3), nullptr);
    EXPECT_EQ(manager.PortFor(3)->DeviceName(), ws.Path("com5"));
    EXPECT_EQ(manager.PortFor(0), nullptr);
    EXPECT_EQ(manager.PortFor(4), nullptr);
    EXPECT_TRUE(manager.PortFor(1)->IsOpen());
    EXPECT_TRUE(manager.PortFor(3)->IsOpen());

    // One zero frame per port before its first probe; each chain ends at the first silence.
    EXPECT_EQ(RequestsOf(com3),
              (RequestList{{0, CMD_ZERO}, {1, CMD_PROBE}, {2, CMD_PROBE}, {3, CMD_PROBE}}));
    EXPECT_EQ(RequestsOf(com5), (RequestList{{0, CMD_ZERO}, {3, CMD_PROBE}, {4, CMD_PROBE}}));
}

TEST(Discovery, AGapInAChainEndsIt) {
    SimWorkspace ws;
    ws.AddPort("com3", {1, 3});
    CCounterManager manager;
    EXPECT_EQ(manager.DiscoverCounters({ws.Path("com3")}), 1);
    EXPECT_NE(manager.PortFor(1), nullptr);
    EXPECT_EQ(manager.PortFor(3), nullptr);
}

TEST(Discovery, APortWhoseFirstCounterIsNotTheNextNumberIsClosedAndSkipped) {
    SimWorkspace ws;
    ws.AddPort("com3", {2});
    CCounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.DiscoverCounters({ws.Path("com3")}, &skipped), 0);
    EXPECT_EQ(manager.PortFor(2), nullptr);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].deviceName, ws.Path("com3"));
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNoCounter);
    EXPECT_EQ(skipped[0].expectedCounter, 1);
    EXPECT_TRUE(DeviceIsFree(ws.Path("com3")));
}

TEST(Discovery, TheNextNumberIsTriedAgainOnTheNextDevice) {
    SimWorkspace ws;
    ws.AddPort("empty", {});
    ws.AddPort("counters", {1});
    nivra::test::WriteFileBytes(ws.Path("plain"), "");
    CCounterManager manager;
    std::vector<SkippedPort> skipped;
    const std::vector<std::string> list = {ws.Path("missing"), ws.Path("plain"), ws.Path("empty"),
                                           ws.Path("counters")};
    EXPECT_EQ(manager.DiscoverCounters(list, &skipped), 1);
    EXPECT_EQ(manager.PortFor(1)->DeviceName(), ws.Path("counters"));

    ASSERT_EQ(skipped.size(), 3u);
    EXPECT_EQ(skipped[0].deviceName, ws.Path("missing"));
    EXPECT_EQ(skipped[0].openFailure, OpenFailure::kNotFound);
    EXPECT_EQ(skipped[1].openFailure, OpenFailure::kNotATerminal);
    EXPECT_EQ(skipped[2].reason, SkippedPort::Reason::kNoCounter);
    EXPECT_EQ(skipped[2].expectedCounter, 1);
}

TEST(Discovery, TheSameDeviceListedTwiceIsUsedOnce) {
    SimWorkspace ws;
    auto& line = ws.AddPort("com3", {1});
    CCounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.DiscoverCounters({ws.Path("com3"), line.DevicePath()}, &skipped), 1);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNotOpened);
    EXPECT_EQ(skipped[0].openFailure, OpenFailure::kBusy);
}

TEST(Discovery, StopsAtCounter255WithoutWrappingToZero) {
    SimWorkspace ws;
    std::vector<std::uint8_t> all;
    for (int n = 1; n <= 255; ++n)
        all.push_back(static_cast<std::uint8_t>(n));
    auto& full = ws.AddPort("full", all);
    ws.AddPort("more", {1});
    CCounterManager manager;
    std::vector<SkippedPort> skipped;
    EXPECT_EQ(manager.DiscoverCounters({ws.Path("full"), ws.Path("more")}, &skipped), 255);
    EXPECT_NE(manager.PortFor(255), nullptr);
    EXPECT_EQ(manager.PortFor(0), nullptr);
    for (const RequestRecord& r : full.Requests())
        EXPECT_FALSE(r.command == CMD_PROBE && r.counter == 0);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].reason, SkippedPort::Reason::kNumbersExhausted);
    EXPECT_TRUE(DeviceIsFree(ws.Path("more")));
}

TEST(Discovery, TeardownClosesEveryPortAndEmptiesTheRegistry) {
    SimWorkspace ws;
    auto& a = ws.AddPort("a", {1});
    auto& b = ws.AddPort("b", {2});
    CCounterManager manager;
    ASSERT_EQ(manager.DiscoverCounters({ws.Path("a"), ws.Path("b")}), 2);
    std::size_t sentBefore = a.Requests().size() + b.Requests().size();
    manager.Teardown();
    EXPECT_EQ(manager.PortFor(1), nullptr);
    EXPECT_EQ(manager.PortFor(2), nullptr);
    EXPECT_TRUE(DeviceIsFree(ws.Path("a")));
    EXPECT_TRUE(DeviceIsFree(ws.Path("b")));
    EXPECT_EQ(a.Requests().size() + b.Requests().size(), sentBefore); // nothing sent
}
