#include "engine/run_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nivra {

namespace {

class SystemClock final : public RunClock {
public:
    std::int64_t now() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    void sleepMilliseconds(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

RunClock& systemRunClock() {
    static SystemClock clock;
    return clock;
}

} // namespace nivra
