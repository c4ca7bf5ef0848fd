// The acquisition loop's own cost: one counter read 20 times a second, its differences, seconds
// and points, without the serial line. A virtual clock makes an hour of counting take as long as
// the loop's work, so the time per counted hour is the loop's CPU time.

#include "engine/assay_run.h"
#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "engine/run_observer.h"
#include "model/assay_data.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

using namespace nivra;

// Time moves only when the run sleeps.
class VirtualClock final : public RunClock {
public:
    std::int64_t now() override { return milliseconds_ / 1000; }
    std::int64_t nowMilliseconds() override { return milliseconds_; }
    void sleepMilliseconds(int milliseconds) override { milliseconds_ += milliseconds; }

private:
    std::atomic<std::int64_t> milliseconds_{1'700'000'000'000};
};

// 2,000 counts a second behind a wrapping one-byte register.
class SteadySource final : public CounterAccess {
public:
    explicit SteadySource(RunClock& clock) : clock_(clock) {}
    CommandOutcome resetCount(int) override {
        reset_ = clock_.nowMilliseconds();
        return CommandOutcome::kAnswered;
    }
    CommandOutcome readCount(int, std::int32_t& count) override {
        count = static_cast<std::int32_t>((clock_.nowMilliseconds() - reset_) * 2 % 256);
        return CommandOutcome::kAnswered;
    }

private:
    RunClock& clock_;
    std::int64_t reset_ = 0;
};

class EndWaiter final : public RunObserver {
public:
    void finished(int, EndReason) override {
        std::lock_guard lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
};

// One hour of counting with one-minute dwells.
void BM_AcquisitionHour(benchmark::State& state) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = assay.dwellSeconds = 0;
    assay.dwellMinutes = 1;
    assay.totalHours = 1;
    assay.totalMinutes = assay.totalSeconds = 0;
    for (auto _ : state) {
        VirtualClock clock;
        SteadySource source(clock);
        AssayData data(CounterConfig::defaults(), assay, 1);
        EndWaiter waiter;
        // Without backups: no start directory is handed.
        auto run = AssayRun::start(data, waiter, RunEnvironment{&clock, &source});
        waiter.wait();
        run.reset();
        benchmark::DoNotOptimize(data.sumCounts());
    }
}
BENCHMARK(BM_AcquisitionHour)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
