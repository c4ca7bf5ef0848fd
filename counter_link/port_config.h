#pragma once

#include <string>
#include <vector>

// The port list file "port_config.pfx" in the start directory: section "CONFIG", keys PORT1 to
// PORT8, each holding a device name that is handed unchanged to CounterPort::open.
namespace nivra {

inline constexpr int kPortConfigKeys = 8;
inline constexpr const char* kPortConfigSection = "CONFIG";

enum class PortListSource {
    kFile,               // at least one key held a device name
    kDefaultsWritten,    // the file yielded no port; the defaults were written to it
    kDefaultsNotWritten, // the file yielded no port and the defaults could not be written
    kUnreadable,         // the file exists but cannot be read: no ports, the file left alone
};

// Fills ports with the non-empty values of PORT1 to PORT8, in key order. When the file is
// missing or none of the eight keys has a value, writes PORT1=COM1 to PORT8=COM8 into it (other
// keys and sections stay as they are) and uses that list, whether the write succeeded or not.
// A file that exists but cannot be read gives no ports and is never written; readError (when
// given) then says why.
PortListSource readPortConfig(const std::string& path, std::vector<std::string>& ports,
                              std::string* readError = nullptr);

} // namespace nivra
