// The window and a counter that stops answering during a run: said once per stretch, shown in
// the slot's status while it lasts, and recorded as a header line when it ends.

#include "base/value_encoding.h"
#include "main_window_fixture.h"

using namespace nivra;
using namespace nivra::test;

using FaultTest = MainWindowTest;

// Counter 1 is silent from the second second to the fifth, and again from the seventh on.
TEST_F(FaultTest, ASilentCounterIsToldOnceAndShownInTheStatusWhileItLasts) {
    Open();
    counters_.SetRate(1, 1);
    const std::int64_t t0 = clock_.StartSeconds();
    const auto silence = [&](std::int64_t until, bool silent) {
        clock_.PauseAt(until);
        clock_.Resume();
        ASSERT_TRUE(clock_.WaitUntilPaused());
        counters_.SetSilent(1, silent);
    };
    clock_.PauseAt(t0 + 2);
    StartRun(1, WriteAssay("short", 1, 10));
    ASSERT_TRUE(clock_.WaitUntilPaused());
    counters_.SetSilent(1, true);
    silence(t0 + 5, false);
    const QString since =
        "RUNNING, counter not answering since " + QString::fromStdString(FormatLocalTime(t0 + 2));
    ASSERT_TRUE(PumpUntil([&] { return Text(ids::kStatusLabel) == since; }));
    silence(t0 + 7, true);
    ASSERT_TRUE(PumpUntil([&] { return Text(ids::kStatusLabel) == "RUNNING"; }));
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"Counter 1 not answering since " +
                                                   QString::fromStdString(FormatLocalTime(t0 + 2)) +
                                                   "; the run goes on and records it"});

    clock_.PauseAt(std::numeric_limits<std::int64_t>::max());
    clock_.Resume();
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_EQ(Text(ids::kStatusLabel), "STOPPED");
    EXPECT_EQ(prompts_.MessageTexts().size(), 2);
    int stretches = 0;
    for (const std::string& line : window_->Slot(1).data->headerLines())
        stretches += line.rfind("Counter not answering: ", 0) == 0;
    EXPECT_EQ(stretches, 2);
}
