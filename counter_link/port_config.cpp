#include "counter_link/port_config.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"

namespace nivra {

PortListSource readPortConfig(const std::string& path, std::vector<std::string>& ports,
                              std::string* readError) {
    ports.clear();
    ProfileFile file(path);
    if (!file.readError().empty()) {
        if (readError)
            *readError = file.readError();
        return PortListSource::kUnreadable;
    }
    for (int i = 1; i <= kPortConfigKeys; ++i) {
        std::string device = file.readString(formatC("PORT%d", i), kPortConfigSection);
        if (!device.empty())
            ports.push_back(device);
    }
    if (!ports.empty())
        return PortListSource::kFile;

    bool written = true;
    for (int i = 1; i <= kPortConfigKeys; ++i) {
        std::string device = formatC("COM%d", i);
        written = file.writeString(device, formatC("PORT%d", i), kPortConfigSection) && written;
        ports.push_back(device);
    }
    written = file.flush() && written;
    return written ? PortListSource::kDefaultsWritten : PortListSource::kDefaultsNotWritten;
}

} // namespace nivra
