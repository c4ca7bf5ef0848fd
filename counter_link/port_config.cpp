#include "counter_link/port_config.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"

namespace nivra {

PortListSource ReadPortConfig(const std::string& path, std::vector<std::string>& ports,
                              std::string* readError) {
    ports.clear();
    CProfileFile file(path);
    if (!file.ReadError().empty()) {
        if (readError)
            *readError = file.ReadError();
        return PortListSource::kUnreadable;
    }
    for (int i = 1; i <= kPortConfigKeys; ++i) {
        std::string device = file.ReadString(FormatC("PORT%d", i), kPortConfigSection);
        if (!device.empty())
            ports.push_back(device);
    }
    if (!ports.empty())
        return PortListSource::kFile;

    bool written = true;
    for (int i = 1; i <= kPortConfigKeys; ++i) {
        std::string device = FormatC("COM%d", i);
        written = file.WriteString(device, FormatC("PORT%d", i), kPortConfigSection) && written;
        ports.push_back(device);
    }
    written = file.Flush() && written;
    return written ? PortListSource::kDefaultsWritten : PortListSource::kDefaultsNotWritten;
}

} // namespace nivra
