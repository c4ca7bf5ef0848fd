#include "engine/run_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nivra {

namespace {

class SystemClock final : public RunClock {
public:
    std::int64_t now() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t nowMilliseconds() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
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
