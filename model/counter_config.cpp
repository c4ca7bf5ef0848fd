#include "model/counter_config.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"
#include "model/profile_record.h"

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

std::string CounterConfig::read(const std::string& path) {
    CProfileFile file(path);
    if (!file.ReadError().empty())
        return file.ReadError();
    readFrom(file);
    return {};
}

void CounterConfig::readFrom(CProfileFile& file) {
    name = file.ReadString(kName, kSection);
    description = file.ReadString(kDescription, kSection);
    nivra::ScanUnsigned(file.ReadString(kDetectorArea, kSection), detectorArea);
    nivra::ScanReal(file.ReadString(kDetectorEfficiency, kSection), detectorEfficiency);
}

nivra::Outcome CounterConfig::write(const std::string& path) const {
    return nivra::WriteRecordFile(*this, path);
}

bool CounterConfig::writeTo(CProfileFile& file) const {
    return nivra::WriteEntries(file, kSection, entries());
}

std::array<std::pair<const char*, std::string>, 4> CounterConfig::entries() const {
    return {{
        {kName, name},
        {kDescription, description},
        {kDetectorArea, nivra::FormatUnsigned(detectorArea)},
        {kDetectorEfficiency, nivra::FormatReal(detectorEfficiency)},
    }};
}
