#include "counter_link/counter_startup.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

using nivra::CounterManager;
using nivra::runCounterStartup;
using nivra::StartDirectory;
using nivra::protocol::CMD_TEXT;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;
using nivra::test::writePortList;

namespace {

// Each test's start directory is the workspace folder, which holds the port list.
class CounterStartupTest : public ::testing::Test {
protected:
    std::vector<int> textQueries(const nivra::sim::SimulatedPort& port) const {
        std::vector<int> counters;
        for (const RequestRecord& r : port.requests())
            if (r.command == CMD_TEXT)
                counters.push_back(r.counter);
        return counters;
    }

    SimWorkspace ws_;
    const StartDirectory start_{ws_.folder()};
};

} // namespace

TEST_F(CounterStartupTest, SixCountersFoundFourOfferedAndOnlyTheyAreQueried) {
    auto& line = ws_.addPort("line", {1, 2, 3, 4, 5, 6});
    writePortList(ws_.path("port_config.pfx"), {"PORT1=" + ws_.path("line")});
    CounterManager manager;
    auto startup = runCounterStartup(start_, manager);
    EXPECT_EQ(startup.offeredCounters, 4);
    EXPECT_EQ(textQueries(line), (std::vector<int>{1, 2, 3, 4}));
    // Counters 5 and 6 stay registered although they are not offered.
    EXPECT_NE(manager.portFor(6), nullptr);
}

TEST_F(CounterStartupTest, CountersOnTwoPortsBelowFourAreAllOffered) {
    auto& a = ws_.addPort("a", {1, 2});
    auto& b = ws_.addPort("b", {3});
    writePortList(ws_.path("port_config.pfx"),
                  {"PORT2=" + ws_.path("a"), "PORT5=" + ws_.path("b")});
    CounterManager manager;
    EXPECT_EQ(runCounterStartup(start_, manager).offeredCounters, 3);
    EXPECT_EQ(textQueries(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(textQueries(b), (std::vector<int>{3}));
}
