#pragma once

#include <functional>
#include <optional>

namespace nivra::test {

// Runs work in a copy of this process that is then killed, as a crash ends a program, and
// returns what work returned; nothing where the system cannot copy a running process (Windows).
// Call it before the test starts threads of its own.
std::optional<bool> runInProcessThatIsKilled(const std::function<bool()>& work);

} // namespace nivra::test
