#include "counter_link/counter_port.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

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
        sim_ = &ws_.AddPort("line", {1, 2});
        ASSERT_TRUE(port_.Open(ws_.Path("line")));
    }

    std::vector<std::pair<int, int>> Sent() const {
        std::vector<std::pair<int, int>> requests;
        for (const RequestRecord& r : sim_->Requests())
            requests.emplace_back(r.counter, r.command);
        return requests;
    }

    SimWorkspace ws_;
    SimulatedPort* sim_ = nullptr;
    CCounterPort port_;
};

using RequestList = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(CounterPortTest, ProbeReportsOnlyTheAddressedCounterWithThePresentStatus) {
    EXPECT_TRUE(port_.Probe(2));
    sim_->SetFault(2, Fault::WrongStatus(0xE0));
    EXPECT_FALSE(port_.Probe(2));
    sim_->SetFault(2, Fault::WrongStatus(nivra::protocol::REPLY_RESET));
    EXPECT_FALSE(port_.Probe(2));
    sim_->SetFault(2, Fault::WrongEcho(3)); // [3, 0xF2]
    EXPECT_FALSE(port_.Probe(2));
    EXPECT_EQ(Sent(),
              (RequestList{{2, CMD_PROBE}, {2, CMD_PROBE}, {2, CMD_PROBE}, {2, CMD_PROBE}}));
}

TEST_F(CounterPortTest, ZeroFrameSendsTwoZeroBytesAndAwaitsNothing) {
    EXPECT_TRUE(port_.SendZeroFrame());
    ASSERT_TRUE(sim_->WaitFor([](const auto& r) { return r.size() == 1; }, 1s));
    EXPECT_EQ(Sent(), (RequestList{{0, CMD_ZERO}}));
}

TEST_F(CounterPortTest, ResetSucceedsOnlyWithTheResetStatus) {
    sim_->SetRegister(1, 40);
    EXPECT_TRUE(port_.ResetCount(1));
    std::int32_t count = -1;
    ASSERT_TRUE(port_.ReadCount(1, count));
    EXPECT_EQ(count, 0);

    sim_->SetFault(1, Fault::WrongStatus(nivra::protocol::REPLY_PRESENT).OnlyFor(CMD_RESET));
    EXPECT_FALSE(port_.ResetCount(1));
    sim_->SetFault(1, Fault::WrongEcho(2));
    EXPECT_FALSE(port_.ResetCount(1));
}

TEST_F(CounterPortTest, ReadYieldsTheRegisterAndLeavesTheCountAloneOnAWrongEcho) {
    sim_->QueueReadings(1, {200, 255, 7});
    std::int32_t count = -1;
    ASSERT_TRUE(port_.ReadCount(1, count));
    EXPECT_EQ(count, 200);
    ASSERT_TRUE(port_.ReadCount(1, count, /*alternate=*/true));
    EXPECT_EQ(count, 255);

    sim_->SetFault(1, Fault::WrongEcho(2));
    EXPECT_FALSE(port_.ReadCount(1, count));
    EXPECT_EQ(count, 255);
    EXPECT_EQ(Sent(), (RequestList{{1, CMD_READ}, {1, CMD_READ_ALT}, {1, CMD_READ}}));
}

TEST_F(CounterPortTest, AShortReplyFailsAfterTheTimeOutAndLeavesTheCountUnchanged) {
    sim_->SetRegister(1, 9);
    sim_->SetFault(1, Fault::ShortReply(1));
    std::int32_t count = 123;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port_.ReadCount(1, count));
    EXPECT_GE(std::chrono::steady_clock::now() - start, nivra::TransferTimeout(2));
    EXPECT_EQ(count, 123);
    // Exactly one exchange: no retry.
    EXPECT_EQ(Sent(), (RequestList{{1, CMD_READ}}));
}

TEST_F(CounterPortTest, TextAppendsTheEightCharactersAndTheTerminatingZero) {
    sim_->SetText(2, "ALPHA-02");
    std::string text = "id:";
    ASSERT_TRUE(port_.ReadText(2, text));
    EXPECT_EQ(text, std::string("id:ALPHA-02\0", 12));

    sim_->SetFault(2, Fault::WrongStatus('!').OnlyFor(CMD_TEXT)); // tenth byte not zero
    EXPECT_FALSE(port_.ReadText(2, text));
    sim_->SetFault(2, Fault::WrongEcho(1));
    EXPECT_FALSE(port_.ReadText(2, text));
    EXPECT_EQ(text, std::string("id:ALPHA-02\0", 12));
}

TEST_F(CounterPortTest, ALateReplyIsThrownAwayByTheNextExchange) {
    sim_->SetRegister(1, 11);
    sim_->SetRegister(2, 22);
    sim_->SetFault(1, Fault::LateReply(1200ms));
    std::int32_t count = -1;
    EXPECT_FALSE(port_.ReadCount(1, count));
    // Wait until the late [1, 11] has been sent, then ask counter 2: its exchange must not
    // take the stale bytes for its reply.
    ASSERT_TRUE(sim_->WaitFor([](const auto& r) { return r.at(0).replied.has_value(); }, 2s));
    ASSERT_TRUE(port_.ReadCount(2, count));
    EXPECT_EQ(count, 22);
    EXPECT_TRUE(port_.Probe(2));
}

TEST_F(CounterPortTest, ACounterThatFallsSilentFailsItsCommandsWhileOthersAnswer) {
    sim_->SetFault(1, Fault::Silent());
    std::int32_t count = 5;
    EXPECT_FALSE(port_.ReadCount(1, count));
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(port_.Probe(2));
}

TEST(CounterPortOpen, APortThatDidNotOpenFailsEveryCommandAtOnce) {
    nivra::test::TempDir dir;
    CCounterPort port;
    EXPECT_FALSE(port.Open(dir.file("nothing")));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastOpenFailure(), nivra::OpenFailure::kNotFound);
    std::int32_t count = 3;
    std::string text = "t";
    EXPECT_FALSE(port.SendZeroFrame());
    EXPECT_FALSE(port.Probe(1));
    EXPECT_FALSE(port.ResetCount(1));
    EXPECT_FALSE(port.ReadCount(1, count));
    EXPECT_FALSE(port.ReadText(1, text));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(text, "t");
}

TEST(CounterPortOpen, CloseReleasesTheDeviceForTheNextPort) {
    SimWorkspace ws;
    ws.AddPort("line", {1});
    CCounterPort first;
    CCounterPort second;
    ASSERT_TRUE(first.Open(ws.Path("line")));
    EXPECT_FALSE(second.Open(ws.Path("line")));
    EXPECT_EQ(second.LastOpenFailure(), nivra::OpenFailure::kBusy);
    EXPECT_TRUE(first.Close());
    EXPECT_FALSE(first.Probe(1));
    ASSERT_TRUE(second.Open(ws.Path("line")));
    EXPECT_TRUE(second.Probe(1));
}

// The outcomes a run acts on: no answer, a wrong status, and a device that went away and came
// back under the same name (a restarted simulator, a re-plugged adapter).
TEST(CounterPortOutcome, TellsSilenceWrongStatusAndAVanishedDeviceThatReopens) {
    nivra::test::UsePrivateLockDirectory();
    nivra::test::TempDir dir;
    const std::string link = dir.file("line");
    const auto simulate = [&] {
        return std::make_unique<SimulatedPort>(link, std::vector<std::uint8_t>{1}, 0.0, 1,
                                               [] { return std::chrono::steady_clock::now(); });
    };
    auto sim = simulate();
    CCounterPort port;
    ASSERT_TRUE(port.Open(link));
    std::int32_t count = 0;
    nivra::CommandOutcome outcome{};
    sim->SetFault(1, Fault::WrongStatus(0xE0));
    EXPECT_FALSE(port.ResetCount(1, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kWrongReply);
    sim->SetFault(1, Fault::Silent());
    EXPECT_FALSE(port.ReadCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kNoAnswer);

    sim.reset(); // the device and its link are gone
    EXPECT_FALSE(port.ReadCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kDeviceGone);
    EXPECT_FALSE(port.Reopen());
    EXPECT_FALSE(port.ReadCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kDeviceGone);

    sim = simulate();
    sim->SetRegister(1, 42);
    ASSERT_TRUE(port.Reopen());
    EXPECT_TRUE(port.ReadCount(1, count, false, &outcome));
    EXPECT_EQ(outcome, nivra::CommandOutcome::kAnswered);
    EXPECT_EQ(count, 42);
}
