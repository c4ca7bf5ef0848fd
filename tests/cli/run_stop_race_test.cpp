// nivra-cli run and a stop that races the run's natural end: whenever SIGTERM comes (before the
// last point, while it closes, after the end line), the run ends once, saves its file and exits
// cleanly. Under AddressSanitizer this also shows that nothing touches the run after its end.

#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/data_file.h"
#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace nivra;
using ::testing::HasSubstr;

TEST(CliRunStopRace, AStopAroundTheEndIsHarmless) {
    test::usePrivateLockDirectory();
    test::SimWorkspace ws;
    for (const char* folder : {"assay_config", "counter_config", "backup_data"})
        std::filesystem::create_directory(ws.path(folder));
    ws.addPort("ttySIM0", {1});
    test::writePortList(ws.path("port_config.pfx"), {"PORT1=" + ws.path("ttySIM0")});
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
    assay.dwellSeconds = 1;
    assay.totalSeconds = 2;
    ASSERT_TRUE(assay.write(ws.path("assay_config/short.acx")).ok());
    ASSERT_TRUE(CounterConfig::defaults().write(ws.path("counter_config/counter1.ccx")).ok());

    // The run ends about three seconds after it starts; the stops land around that moment.
    for (int delay : {2200, 2700, 3100, 3500}) {
        const std::string out = "run" + std::to_string(delay) + ".dax";
        test::BackgroundProgram run(
            "nivra-cli",
            {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", out},
            ws.folder());
        EXPECT_TRUE(run.waitForOutput("start ")) << run.output();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay - 1000));
        EXPECT_EQ(run.stop(), 0) << run.output();
        const std::string output = run.output();
        EXPECT_THAT(output, HasSubstr("finished by=")) << delay;
        EXPECT_EQ(output.find("finished by="), output.rfind("finished by=")) << output;
        EXPECT_THAT(output, HasSubstr("saved file=")) << output;
        // The file holds the points the run reported.
        const std::size_t points = readDataFile(ws.path(out))->pointCount();
        EXPECT_THAT(output, HasSubstr("points=" + std::to_string(points))) << output;
    }
}
