#pragma once

#include "counter_link/counter_manager.h"
#include "counter_link/skipped_port.h"

#include <string>
#include <vector>

namespace nivra::cli {

// Why no counter was found on a device, for standard error: "does not exist", "permission
// denied; add your user to the dialout group ...", "no counter answered to number 3 (...)",
// "busy (held by another program)". openDevices are the devices this program holds: a busy
// device among them is one the port list names twice, and is said to be so.
std::string skippedPortText(const SkippedPort& port,
                            const std::vector<std::string>& openDevices = {});

// The names of the devices this program holds open: those on which the manager found counters.
std::vector<std::string> openDeviceNames(const CounterManager& manager);

// The skipped devices that another program holds: busy, and none of openDevices.
std::vector<std::string> devicesHeldElsewhere(const std::vector<SkippedPort>& skipped,
                                              const std::vector<std::string>& openDevices);

} // namespace nivra::cli
