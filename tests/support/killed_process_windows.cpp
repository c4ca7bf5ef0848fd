#include "support/killed_process.h"

namespace nivra::test {

std::optional<bool> runInProcessThatIsKilled(const std::function<bool()>&) {
    return std::nullopt;
}

} // namespace nivra::test
