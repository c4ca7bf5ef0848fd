#include "files/counter_config.h"

#include "files/profile_file.h"
#include "files/value_encoding.h"

namespace {

constexpr const char* kName = "COUNTER NAME";
constexpr const char* kDescription = "DESCRIPTION 0";
constexpr const char* kDetectorArea = "DETECTOR AREA";
constexpr const char* kDetectorEfficiency = "DETECTOR EFFICIENCY";

} // namespace

CounterConfig::CounterConfig(const std::string& path) : filePath(path) {
    read(path);
}

CounterConfig CounterConfig::Defaults(const std::string& filePath) {
    CounterConfig config{NoFile{}};
    config.filePath = filePath;
    return config;
}

void CounterConfig::read(const std::string& path) {
    CProfileFile file(path);
    readFrom(file);
}

void CounterConfig::readFrom(CProfileFile& file) {
    name = file.ReadString(kName, kSection);
    description = file.ReadString(kDescription, kSection);
    nivra::ScanUnsigned(file.ReadString(kDetectorArea, kSection), detectorArea);
    nivra::ScanReal(file.ReadString(kDetectorEfficiency, kSection), detectorEfficiency);
}

int CounterConfig::write(const std::string& path) const {
    const std::string& target = path.empty() ? filePath : path;
    if (target.empty())
        return 0;
    CProfileFile file(target);
    bool queued = writeTo(file);
    bool committed = file.Flush();
    return queued && committed ? 1 : 0;
}

bool CounterConfig::writeTo(CProfileFile& file) const {
    bool ok = true;
    for (const auto& [key, value] : entries())
        ok = file.WriteString(value, key, kSection) != 0 && ok;
    return ok;
}

std::array<std::pair<const char*, std::string>, 4> CounterConfig::entries() const {
    return {{
        {kName, name},
        {kDescription, description},
        {kDetectorArea, nivra::FormatUnsigned(detectorArea)},
        {kDetectorEfficiency, nivra::FormatReal(detectorEfficiency)},
    }};
}
