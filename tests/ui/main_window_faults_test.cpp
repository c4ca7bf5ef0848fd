// The window and a counter that stops answering during a run: said once per stretch, shown in
// the slot's status while it lasts, and recorded as a header line when it ends.

#include "base/value_encoding.h"
#include "main_window_fixture.h"

using namespace nivra;
using namespace nivra::test;

using FaultTest = MainWindowTest;

// Counter 1 is silent from the second second to the fifth, and again from the seventh on.
TEST_F(FaultTest, ASilentCounterIsToldOnceAndShownInTheStatusWhileItLasts) {
    open();
    counters_.setRate(1, 1);
    const std::int64_t t0 = clock_.startSeconds();
    const auto silence = [&](std::int64_t until, bool silent) {
        clock_.pauseAt(until);
        clock_.resume();
        ASSERT_TRUE(clock_.waitUntilPaused());
        counters_.setSilent(1, silent);
    };
    clock_.pauseAt(t0 + 2);
    startRun(1, writeAssay("short", 1, 10));
    ASSERT_TRUE(clock_.waitUntilPaused());
    counters_.setSilent(1, true);
    silence(t0 + 5, false);
    const QString since =
        "RUNNING, counter not answering since " + QString::fromStdString(formatLocalTime(t0 + 2));
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::status) == since; }));
    silence(t0 + 7, true);
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::status) == "RUNNING"; }));
    EXPECT_EQ(prompts_.messageTexts(), QStringList{"Counter 1 not answering since " +
                                                   QString::fromStdString(formatLocalTime(t0 + 2)) +
                                                   "; the run goes on and records it"});

    clock_.pauseAt(std::numeric_limits<std::int64_t>::max());
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_EQ(text(&Ui::status), "STOPPED");
    EXPECT_EQ(prompts_.messageTexts().size(), 2);
    int stretches = 0;
    for (const std::string& line : window_->slot(1).data->headerLines())
        stretches += line.rfind("Counter not answering: ", 0) == 0;
    EXPECT_EQ(stretches, 2);
}
