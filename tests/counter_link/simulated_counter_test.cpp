#include "counter_link/counter_protocol.h"
#include "simulator/sim_command_line.h"
#include "simulator/simulated_counter.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace nivra::protocol;
using nivra::sim::Fault;
using nivra::sim::SimTime;
using nivra::sim::SimulatedCounter;

namespace {

std::vector<std::uint8_t> bytes(const std::optional<nivra::sim::Reply>& reply) {
    return reply ? reply->bytes : std::vector<std::uint8_t>{};
}

} // namespace

TEST(SimulatedCounter, RegisterGrowsAtTheMeanRateWrapsAt256AndResetsToZero) {
    std::mt19937_64 random(7);
    SimTime t0{};
    SimulatedCounter counter(4, 5.0, t0);
    // 10000 s at 5/s: 50000 events; the register shows the total modulo 256. Counted in steps
    // of 1 s, the readings' differences (corrected for the wrap) add up to the total.
    long long total = 0;
    int previous = 0;
    for (int s = 1; s <= 10000; ++s) {
        int reading = bytes(counter.answer(CMD_READ, t0 + std::chrono::seconds(s), random))[1];
        total += (reading - previous + 256) % 256;
        previous = reading;
    }
    EXPECT_NEAR(static_cast<double>(total) / 10000, 5.0, 0.1);

    EXPECT_EQ(bytes(counter.answer(CMD_RESET, t0 + 10000s, random)),
              (std::vector<std::uint8_t>{4, REPLY_RESET}));
    EXPECT_EQ(bytes(counter.answer(CMD_READ, t0 + 10000s, random))[1], 0);
}

TEST(SimulatedCounter, TheSameSeedGivesTheSameReadings) {
    auto readings = [](std::uint64_t seed) {
        std::mt19937_64 random(seed);
        SimulatedCounter counter(1, 3.0, SimTime{});
        std::vector<std::uint8_t> values;
        for (int s = 1; s <= 50; ++s)
            values.push_back(bytes(
                counter.answer(CMD_READ_ALT, SimTime{} + std::chrono::seconds(s), random))[1]);
        return values;
    };
    EXPECT_EQ(readings(42), readings(42));
    EXPECT_NE(readings(42), readings(43));
}

TEST(SimulatedCounter, AnswersEveryCommandOfTheProtocolAndIgnoresOthers) {
    std::mt19937_64 random(1);
    SimulatedCounter counter(9, 0.0, SimTime{});
    counter.queueReadings({17, 230});
    counter.setText("GAMMA");
    EXPECT_EQ(bytes(counter.answer(CMD_PROBE, {}, random)),
              (std::vector<std::uint8_t>{9, REPLY_PRESENT}));
    EXPECT_EQ(bytes(counter.answer(CMD_READ, {}, random)), (std::vector<std::uint8_t>{9, 17}));
    EXPECT_EQ(bytes(counter.answer(CMD_READ, {}, random)), (std::vector<std::uint8_t>{9, 230}));
    EXPECT_EQ(bytes(counter.answer(CMD_READ, {}, random)), (std::vector<std::uint8_t>{9, 230}));
    EXPECT_EQ(bytes(counter.answer(CMD_TEXT, {}, random)),
              (std::vector<std::uint8_t>{9, 'G', 'A', 'M', 'M', 'A', ' ', ' ', ' ', 0}));
    for (std::uint8_t code : {0, 1, 2, 7, 8, 10, 255})
        EXPECT_FALSE(counter.answer(code, {}, random)) << int(code);
}

TEST(SimulatedCounter, FaultsChangeOnlyTheCommandsTheyApplyTo) {
    std::mt19937_64 random(1);
    SimTime t0{};
    SimulatedCounter counter(2, 0.0, t0);

    counter.setFault(Fault::wrongStatus(0xE0).onlyFor(CMD_PROBE), t0);
    EXPECT_EQ(bytes(counter.answer(CMD_PROBE, t0, random)), (std::vector<std::uint8_t>{2, 0xE0}));
    EXPECT_EQ(bytes(counter.answer(CMD_RESET, t0, random)),
              (std::vector<std::uint8_t>{2, REPLY_RESET}));

    counter.setFault(Fault::shortReply(1), t0);
    EXPECT_EQ(bytes(counter.answer(CMD_TEXT, t0, random)), (std::vector<std::uint8_t>{2}));

    counter.setFault(Fault::lateReply(1500ms), t0);
    auto late = counter.answer(CMD_READ, t0, random);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->delay, 1500ms);

    counter.setFault(Fault::silent(30s), t0);
    EXPECT_TRUE(counter.answer(CMD_PROBE, t0 + 29s, random));
    EXPECT_FALSE(counter.answer(CMD_PROBE, t0 + 30s, random));

    counter.setFault(Fault{}, t0 + 31s);
    EXPECT_TRUE(counter.answer(CMD_PROBE, t0 + 31s, random));
}

TEST(SimCommandLine, ParsesPortsRatesSeedsAndFaults) {
    nivra::sim::SimCommandLine options;
    std::string error;
    ASSERT_TRUE(nivra::sim::parseSimCommandLine(
        {"--port", "/tmp/ws/ttySIM0:1,2", "--port", "/tmp/a:b/sim1:3-5,7", "--rate", "2.5",
         "--seed", "99", "--fault", "3:silent=60", "--fault", "1:reset-status", "--fault",
         "2:stray=0x7,200", "--verbose"},
        options, error))
        << error;
    ASSERT_EQ(options.ports.size(), 2u);
    EXPECT_EQ(options.ports[0].linkPath, "/tmp/ws/ttySIM0");
    EXPECT_EQ(options.ports[0].counters, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(options.ports[1].linkPath, "/tmp/a:b/sim1");
    EXPECT_EQ(options.ports[1].counters, (std::vector<std::uint8_t>{3, 4, 5, 7}));
    EXPECT_DOUBLE_EQ(options.ratePerSecond, 2.5);
    EXPECT_EQ(options.seed, 99u);
    ASSERT_EQ(options.faults.size(), 3u);
    EXPECT_EQ(options.faults[2].fault.noise, (std::vector<std::uint8_t>{7, 200}));
    EXPECT_EQ(options.faults[0].fault.kind, nivra::sim::FaultKind::kSilent);
    EXPECT_EQ(options.faults[0].fault.delay, 60s);
    EXPECT_EQ(options.faults[1].fault.value, REPLY_PRESENT);
    EXPECT_EQ(options.faults[1].fault.command, CMD_RESET);
    EXPECT_TRUE(options.verbose);
}

TEST(SimCommandLine, RejectsWhatItCannotServe) {
    nivra::sim::SimCommandLine options;
    std::string error;
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {},
             {"--port", "/tmp/x"},
             {"--port", "/tmp/x:0"},
             {"--port", "/tmp/x:256"},
             {"--port", "/tmp/x:5-2"},
             {"--port", "/tmp/x:1,"},
             {"--port", "/tmp/x:1", "--rate", "-1"},
             {"--port", "/tmp/x:1", "--fault", "1:melt"},
             {"--port", "/tmp/x:1", "--fault", "1:late"},
             {"--port", "/tmp/x:1", "--fault", "1:stray=1,,2"},
             {"--port", "/tmp/x:1", "--fault", "1:stray=256"},
             {"--port", "/tmp/x:1", "--seed"},
             {"--port", "/tmp/x:1", "--baud", "9600"},
         }) {
        EXPECT_FALSE(nivra::sim::parseSimCommandLine(args, options, error)) << args.size();
        EXPECT_FALSE(error.empty());
    }
}
