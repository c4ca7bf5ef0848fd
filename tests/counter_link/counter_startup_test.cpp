#include "base/start_directory.h"
#include "counter_link/counter_startup.h"
#include "support/sim_workspace.h"

#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

using nivra::CounterManager;
using nivra::getStartingDirectory;

using nivra::runCounterStartup;
using nivra::protocol::CMD_TEXT;
using nivra::sim::RequestRecord;
using nivra::test::SimWorkspace;
using nivra::test::writePortList;

namespace {

// Runs each test with the workspace folder as the current directory, as the program is started
// in its start directory.
class CounterStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
        previous_ = cwd;
        ASSERT_EQ(::chdir(ws_.folder().c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(::chdir(previous_.c_str()), 0);
        getStartingDirectory().clear();
    }

    std::vector<int> textQueries(const nivra::sim::SimulatedPort& port) const {
        std::vector<int> counters;
        for (const RequestRecord& r : port.requests())
            if (r.command == CMD_TEXT)
                counters.push_back(r.counter);
        return counters;
    }

    SimWorkspace ws_;
    std::string previous_;
};

} // namespace

TEST_F(CounterStartupTest, SixCountersFoundFourOfferedAndOnlyTheyAreQueried) {
    auto& line = ws_.addPort("line", {1, 2, 3, 4, 5, 6});
    writePortList(ws_.path("port_config.pfx"), {"PORT1=" + ws_.path("line")});
    CounterManager manager;
    auto startup = runCounterStartup(manager);
    EXPECT_TRUE(startup.startDirectoryRead);
    EXPECT_EQ(getStartingDirectory(), ws_.folder());
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
    EXPECT_EQ(runCounterStartup(manager).offeredCounters, 3);
    EXPECT_EQ(textQueries(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(textQueries(b), (std::vector<int>{3}));
}
