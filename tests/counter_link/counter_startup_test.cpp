#include "base/start_directory.h"
#include "counter_link/counter_startup.h"
#include "support/sim_workspace.h"

#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

using nivra::RunCounterStartup;
using nivra::protocol::CMD_TEXT;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;
using nivra::test::WritePortList;

namespace {

// Runs each test with the workspace folder as the current directory, as the program is started
// in its start directory.
class CounterStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
        previous_ = cwd;
        ASSERT_EQ(::chdir(ws_.Folder().c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(::chdir(previous_.c_str()), 0);
        GetStartingDirectory().clear();
    }

    std::vector<int> TextQueries(const nivra::sim::SimulatedPort& port) const {
        std::vector<int> counters;
        for (const RequestRecord& r : port.Requests())
            if (r.command == CMD_TEXT)
                counters.push_back(r.counter);
        return counters;
    }

    SimWorkspace ws_;
    std::string previous_;
};

} // namespace

TEST_F(CounterStartupTest, SixCountersFoundFourOfferedAndOnlyTheyAreQueried) {
    auto& line = ws_.AddPort("line", {1, 2, 3, 4, 5, 6});
    WritePortList(ws_.Path("port_config.pfx"), {"PORT1=" + ws_.Path("line")});
    CCounterManager manager;
    auto startup = RunCounterStartup(manager);
    EXPECT_TRUE(startup.startDirectoryRead);
    EXPECT_EQ(GetStartingDirectory(), ws_.Folder());
    EXPECT_EQ(startup.offeredCounters, 4);
    EXPECT_EQ(TextQueries(line), (std::vector<int>{1, 2, 3, 4}));
    // Counters 5 and 6 stay registered although they are not offered.
    EXPECT_NE(manager.PortFor(6), nullptr);
}

TEST_F(CounterStartupTest, CountersOnTwoPortsBelowFourAreAllOffered) {
    auto& a = ws_.AddPort("a", {1, 2});
    auto& b = ws_.AddPort("b", {3});
    WritePortList(ws_.Path("port_config.pfx"),
                  {"PORT2=" + ws_.Path("a"), "PORT5=" + ws_.Path("b")});
    CCounterManager manager;
    EXPECT_EQ(RunCounterStartup(manager).offeredCounters, 3);
    EXPECT_EQ(TextQueries(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(TextQueries(b), (std::vector<int>{3}));
}
