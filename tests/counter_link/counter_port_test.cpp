#include "counter_link/counter_port.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

using nivra::CounterPort;

using namespace std::chrono_literals;
using nivra::protocol::CMD_PROBE;
using nivra::protocol::CMD_READ;
using nivra::protocol::CMD_READ_ALT;
using nivra::protocol::CMD_RESET;
using nivra::protocol::CMD_TEXT;
using nivra::protocol::CMD_ZERO;
using nivra::sim::Fault;
using nivra::sim::RequestRecord;
using nivra::sim::SimulatedPort;
using nivra::test::SimWorkspace;

namespace {

// A port opened on a simulated line carrying counters 1 and 2.
class CounterPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_ = &ws_.addPort("line", {1, 2});
        ASSERT_TRUE(port_.open(ws_.path("line")));
    }

    std::vector<std::pair<int, int>> sent() const {
        std::vector<std::pair<int, int>> requests;
        for (const RequestRecord& r : sim_->requests())
            requests.emplace_back(r.counter, r.command);
        return requests;
    }

    SimWorkspace ws_;
    SimulatedPort* sim_ = nullptr;
    CounterPort port_;
};

using RequestList = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(CounterPortTest, ProbeReportsOnlyTheAddressedCounterWithThePresentStatus) {
    EXPECT_TRUE(port_.probe(2));
    sim_->setFault(2, Fault::wrongStatus(0xE0));
    EXPECT_FALSE(port_.probe(2));
    sim_->setFault(2, Fault::wrongStatus(nivra::protocol::REPLY_RESET));
    EXPECT_FALSE(port_.probe(2));
    sim_->setFault(2, Fault::wrongEcho(3)); // [3, 0xF2]
    EXPECT_FALSE(port_.probe(2));
    EXPECT_EQ(sent(),
              (RequestList{{2, CMD_PROBE}, {2, CMD_PROBE}, {2, CMD_PROBE}, {2, CMD_PROBE}}));
}

TEST_F(CounterPortTest, ZeroFrameSendsTwoZeroBytesAndAwaitsNothing) {
    EXPECT_TRUE(port_.sendZeroFrame());
    ASSERT_TRUE(sim_->waitFor([](const auto& r) { return r.size() == 1; }, 1s));
    EXPECT_EQ(sent(), (RequestList{{0, CMD_ZERO}}));
}

TEST_F(CounterPortTest, ResetSucceedsOnlyWithTheResetStatus) {
    sim_->setRegister(1, 40);
    EXPECT_TRUE(port_.resetCount(1));
    std::int32_t count = -1;
    ASSERT_TRUE(port_.readCount(1, count));
    EXPECT_EQ(count, 0);

    sim_->setFault(1, Fault::wrongStatus(nivra::protocol::REPLY_PRESENT).onlyFor(CMD_RESET));
    EXPECT_FALSE(port_.resetCount(1));
    sim_->setFault(1, Fault::wrongEcho(2));
    EXPECT_FALSE(port_.resetCount(1));
}

TEST_F(CounterPortTest, ReadYieldsTheRegisterAndLeavesTheCountAloneOnAWrongEcho) {
    sim_->queueReadings(1, {200, 255, 7});
    std::int32_t count = -1;
    ASSERT_TRUE(port_.readCount(1, count));
    EXPECT_EQ(count, 200);
    ASSERT_TRUE(port_.readCount(1, count, /*alternate=*/true));
    EXPECT_EQ(count, 255);

    sim_->setFault(1, Fault::wrongEcho(2));
    EXPECT_FALSE(port_.readCount(1, count));
    EXPECT_EQ(count, 255);
    EXPECT_EQ(sent(), (RequestList{{1, CMD_READ}, {1, CMD_READ_ALT}, {1, CMD_READ}}));
}

TEST_F(CounterPortTest, AShortReplyFailsAfterTheTimeOutAndLeavesTheCountUnchanged) {
    sim_->setRegister(1, 9);
    sim_->setFault(1, Fault::shortReply(1));
    std::int32_t count = 123;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port_.readCount(1, count));
    EXPECT_GE(std::chrono::steady_clock::now() - start, nivra::transferTimeout(2));
    EXPECT_EQ(count, 123);
    // Exactly one exchange: no retry.
    EXPECT_EQ(sent(), (RequestList{{1, CMD_READ}}));
}

TEST_F(CounterPortTest, TextAppendsTheEightCharactersAndTheTerminatingZero) {
    sim_->setText(2, "ALPHA-02");
    std::string text = "id:";
    ASSERT_TRUE(port_.readText(2, text));
    EXPECT_EQ(text, std::string("id:ALPHA-02\0", 12));

    sim_->setFault(2, Fault::wrongStatus('!').onlyFor(CMD_TEXT)); // tenth byte not zero
    EXPECT_FALSE(port_.readText(2, text));
    sim_->setFault(2, Fault::wrongEcho(1));
    EXPECT_FALSE(port_.readText(2, text));
    EXPECT_EQ(text, std::string("id:ALPHA-02\0", 12));
}

TEST_F(CounterPortTest, ALateReplyIsThrownAwayByTheNextExchange) {
    sim_->setRate(2, 0.0); // the register keeps its value
    sim_->setRegister(1, 11);
    sim_->setRegister(2, 22);
    sim_->setFault(1, Fault::lateReply(1200ms));
    std::int32_t count = -1;
    EXPECT_FALSE(port_.readCount(1, count));
    // Wait until the late [1, 11] has been sent, then ask counter 2: its exchange must not
    // take the stale bytes for its reply.
    ASSERT_TRUE(sim_->waitFor([](const auto& r) { return r.at(0).replied.has_value(); }, 2s));
    ASSERT_TRUE(port_.readCount(2, count));
    EXPECT_EQ(count, 22);
    EXPECT_TRUE(port_.probe(2));
}

TEST_F(CounterPortTest, ACounterThatFallsSilentFailsItsCommandsWhileOthersAnswer) {
    sim_->setFault(1, Fault::silent());
    std::int32_t count = 5;
    EXPECT_FALSE(port_.readCount(1, count));
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(port_.probe(2));
}

TEST(CounterPortOpen, APortThatDidNotOpenFailsEveryCommandAtOnce) {
    nivra::test::TempDir dir;
    CounterPort port;
    EXPECT_FALSE(port.open(dir.file("nothing")));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenFailure(), nivra::OpenFailure::kNotFound);
    std::int32_t count = 3;
    std::string text = "t";
    EXPECT_FALSE(port.sendZeroFrame());
    EXPECT_FALSE(port.probe(1));
    EXPECT_FALSE(port.resetCount(1));
    EXPECT_FALSE(port.readCount(1, count));
    EXPECT_FALSE(port.readText(1, text));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(text, "t");
}

TEST(CounterPortOpen, CloseReleasesTheDeviceForTheNextPort) {
    SimWorkspace ws;
    ws.addPort("line", {1});
    CounterPort first;
    CounterPort second;
    ASSERT_TRUE(first.open(ws.path("line")));
    EXPECT_FALSE(second.open(ws.path("line")));
    EXPECT_EQ(second.lastOpenFailure(), nivra::OpenFailure::kBusy);
    EXPECT_TRUE(first.close());
    EXPECT_FALSE(first.probe(1));
    ASSERT_TRUE(second.open(ws.path("line")));
    EXPECT_TRUE(second.probe(1));
}

// The outcomes a run acts on: no answer, a wrong status, and a device that went away and came
// back under the same name (a restarted simulator, a re-plugged adapter).
TEST(CounterPortOutcome, TellsSilenceWrongStatusAndAVanishedDeviceThatReopens) {
    nivra::test::usePrivateLockDirectory();
    nivra::test::TempDir dir;
    const std::string link = dir.file("line");
    const auto simulate = [&] {
        return std::make_unique<SimulatedPort>(link, std::vector<std::uint8_t>{1}, 0.0, 1,
                                               [] { return std::chrono::steady_clock::now(); });
    };
    auto sim = simulate();
    CounterPort port;
    ASSERT_TRUE(port.open(link));
    std::int32_t count = 0;
    nivra::CommandOutcome outcome{};
    sim->setFault(1, Fault::wrongStatus(0xE0));
    EXPECT_FALSE(port.resetCount(1, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kWrongReply);
    sim->setFault(1, Fault::silent());
    EXPECT_FALSE(port.readCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kNoAnswer);

    sim.reset(); // the device and its link are gone
    EXPECT_FALSE(port.readCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kDeviceGone);
    EXPECT_FALSE(port.reopen());
    EXPECT_FALSE(port.readCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kDeviceGone);

    sim = simulate();
    sim->setRegister(1, 42);
    ASSERT_TRUE(port.reopen());
    EXPECT_TRUE(port.readCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kAnswered);
    EXPECT_EQ(count, 42);
}
