// The main window against the counter simulator in real time: discovery through the port list in
// the start directory, the text queries, and a short run whose counts come over the serial line.

#include "counter_link/counter_manager.h"
#include "counter_link/counter_protocol.h"
#include "main_window_fixture.h"
#include "support/sim_workspace.h"

#include <QAction>
#include <climits>
#include <numeric>
#include <unistd.h>

using nivra::ui::ChartWidget;
using nivra::ui::MainWindow;
using nivra::ui::RUNNING;
using nivra::ui::STOPPED;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class SimulatedCountersTest : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
        previousDirectory_ = cwd;
        for (const char* folder : {"assay_config", "counter_config", "backup_data"})
            std::filesystem::create_directory(ws_.path(folder));
        // The program is started in its start directory.
        ASSERT_EQ(::chdir(ws_.folder().c_str()), 0);
    }
    void TearDown() override {
        window_.reset();
        manager_.teardown();
        EXPECT_EQ(::chdir(previousDirectory_.c_str()), 0);
    }

    SimWorkspace ws_{sim::SimulatorSettings{20.0, 3}};
    CounterManager manager_;
    CounterManagerAccess access_{manager_};
    ScriptedPrompts prompts_;
    test::RecordingNotifier notifier_;
    std::unique_ptr<MainWindow> window_;
    std::string previousDirectory_;
};

TEST_F(SimulatedCountersTest, SixCountersFoundFourOfferedAndARunCountsOverTheLine) {
    auto& line = ws_.addPort("ttySIM0", {1, 2, 3, 4, 5, 6});
    writePortList(ws_.path("port_config.pfx"), {"PORT1=" + ws_.path("ttySIM0")});

    AssayConfig assay = AssayConfig::defaults();
    assay.name = "two seconds";
    assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
    assay.dwellSeconds = 1;
    assay.totalSeconds = 2;
    const std::string assayPath = ws_.path("assay_config/two.acx");
    ASSERT_TRUE(assay.write(assayPath).ok());

    // The start directory is the current directory, captured as the program does.
    const StartDirectory start = *StartDirectory::capture();
    ui::AppContext context{prompts_, notifier_, start, true, resolveHistoryLocation(start)};
    context.run = RunEnvironment{nullptr, &access_};
    std::optional<StartDirectory> captured;
    context.startup = [&](const StartDirectory& start) {
        captured = start;
        return runCounterStartup(start, manager_);
    };
    context.runModal = [&](QDialog& dialog) {
        auto& run = dynamic_cast<ui::RunConfigDlg&>(dialog);
        prompts_.chooseFile(QString::fromStdString(assayPath));
        run.ui().openAssay->click();
        run.ui().start->click();
        return dialog.result();
    };
    window_ = std::make_unique<MainWindow>(context);
    window_->initialise();

    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->path(), ws_.folder());
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(window_->menu()->isEnabled(res::activeCounterCommand(k + 1))) << k;
    std::vector<int> queried;
    for (const sim::RequestRecord& request : line.requests())
        if (request.command == protocol::CMD_TEXT)
            queried.push_back(request.counter);
    EXPECT_EQ(queried, (std::vector<int>{1, 2, 3, 4}));

    // The counter's own configuration, which the run dialog proposes.
    CounterConfig bench = CounterConfig::defaults();
    ASSERT_TRUE(bench.write(captured->counterConfig(1)).ok());
    for (nivra::res::MenuCommand command :
         {res::Command::Counter1, res::Command::FileNew, res::Command::RunStart})
        window_->menu()->action(command)->trigger();
    ASSERT_EQ(window_->slot(1).state, RUNNING);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (window_->slot(1).state != STOPPED && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(window_->slot(1).state, STOPPED);

    const std::vector<std::int32_t> counts = window_->slot(1).data->counts();
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_GT(std::accumulate(counts.begin(), counts.end(), 0), 0); // 20 a second
    EXPECT_EQ(window_->ui().chart->rowCount(), 2);
    EXPECT_NE(window_->ui().endTime->text(), "End Time: ");
    EXPECT_EQ(window_->ui().status->text(), "STOPPED");
    // Only counter 1 was reset and read.
    for (const sim::RequestRecord& request : line.requests()) {
        if (request.command == protocol::CMD_RESET || request.command == protocol::CMD_READ) {
            EXPECT_EQ(request.counter, 1);
        }
    }
}

} // namespace
