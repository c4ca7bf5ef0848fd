#include "model/counter_config.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"
#include "model/profile_record.h"

namespace nivra {

namespace {

constexpr const char* kName = "COUNTER NAME";
constexpr const char* kDescription = "DESCRIPTION 0";
constexpr const char* kDetectorArea = "DETECTOR AREA";
constexpr const char* kDetectorEfficiency = "DETECTOR EFFICIENCY";

} // namespace

CounterConfig::CounterConfig(const std::string& path) : filePath(path) {
    read(path);
}

CounterConfig CounterConfig::defaults(const std::string& filePath) {
    CounterConfig config{NoFile{}};
    config.filePath = filePath;
    return config;
}

std::string CounterConfig::read(const std::string& path) {
    ProfileFile file(path);
    if (!file.readError().empty())
        return file.readError();
    readFrom(file);
    return {};
}

void CounterConfig::readFrom(ProfileFile& file) {
    name = file.readString(kName, kSection);
    description = file.readString(kDescription, kSection);
    nivra::scanUnsigned(file.readString(kDetectorArea, kSection), detectorArea);
    nivra::scanReal(file.readString(kDetectorEfficiency, kSection), detectorEfficiency);
}

nivra::Outcome CounterConfig::write(const std::string& path) const {
    return nivra::writeRecordFile(*this, path);
}

bool CounterConfig::writeTo(ProfileFile& file) const {
    return nivra::writeEntries(file, kSection, entries());
}

std::array<std::pair<const char*, std::string>, 4> CounterConfig::entries() const {
    return {{
        {kName, name},
        {kDescription, description},
        {kDetectorArea, nivra::formatUnsigned(detectorArea)},
        {kDetectorEfficiency, nivra::formatReal(detectorEfficiency)},
    }};
}

} // namespace nivra
