#pragma once

#include "base/start_directory.h"

#include <optional>

namespace nivra::cli {

// The start directory of a command: the current directory, captured once as the command starts
// and handed to everything it does. When it cannot be read, says so on standard error
// ("nivra-cli <command>: the current directory cannot be read") and returns none; the command
// then ends with kExitFailure.
std::optional<StartDirectory> captureStartDirectory(const char* command);

} // namespace nivra::cli
