#pragma once

#include "counter_link/skipped_port.h"

#include <string>

namespace nivra::cli {

// Why no counter was found on a device, for standard error: "does not exist", "permission
// denied; add your user to the dialout group ...", "no counter answered to number 3 (...)".
std::string SkippedPortText(const SkippedPort& port);

} // namespace nivra::cli
