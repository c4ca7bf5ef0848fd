#include "model/assay_config.h"

#include "base/profile_file.h"
#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "model/profile_record.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace nivra {

namespace {

constexpr const char* kName = "NAME";
constexpr const char* kSampleArea = "SAMPLE_AREA";
constexpr const char* kDwellHours = "DWELL HOURS";
constexpr const char* kDwellMinutes = "DWELL MINUTES";
constexpr const char* kDwellSeconds = "DWELL SECONDS";
constexpr const char* kTotalHours = "TOTAL HOURS";
constexpr const char* kTotalMinutes = "TOTAL MINUTES";
constexpr const char* kTotalSeconds = "TOTAL SECONDS";
constexpr const char* kBackground = "BACKGROUND";
constexpr const char* kBackgroundHours = "BACKGROUND_HOURS";
constexpr const char* kQaKind = "QA KIND";
constexpr const char* kClassLimit = "CLASS LIMIT";
constexpr const char* kStopWhenDecided = "STOP WHEN DECIDED";

std::int64_t span(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds) {
    // At most about 1.6e13 for the largest fields, far inside 64 bits.
    return (static_cast<std::int64_t>(hours) * 60 + minutes) * 60 + seconds;
}

} // namespace

AssayConfig::AssayConfig(const std::string& path) {
    read(path);
}

AssayConfig AssayConfig::defaults() {
    return AssayConfig{};
}

AssayConfig AssayConfig::loadDefault(const StartDirectory& startDirectory) {
    AssayConfig config;
    config.filePath = startDirectory.file(kDefaultAssayConfigFile);
    config.read(config.filePath);
    return config;
}

std::string AssayConfig::read(const std::string& path) {
    ProfileFile file(path);
    if (!file.readError().empty())
        return file.readError();
    readFrom(file);
    return {};
}

void AssayConfig::readFrom(ProfileFile& file) {
    name = file.readString(kName, kSection);
    nivra::scanUnsigned(file.readString(kSampleArea, kSection), sampleArea);
    nivra::scanUnsigned(file.readString(kDwellHours, kSection), dwellHours);
    nivra::scanUnsigned(file.readString(kDwellMinutes, kSection), dwellMinutes);
    nivra::scanUnsigned(file.readString(kDwellSeconds, kSection), dwellSeconds);
    nivra::scanUnsigned(file.readString(kTotalHours, kSection), totalHours);
    nivra::scanUnsigned(file.readString(kTotalMinutes, kSection), totalMinutes);
    nivra::scanUnsigned(file.readString(kTotalSeconds, kSection), totalSeconds);
    nivra::scanReal(file.readString(kBackground, kSection), backgroundRate);
    nivra::scanReal(file.readString(kBackgroundHours, kSection), backgroundHours);
    qaKind = nivra::parseRunKind(file.readString(kQaKind, kSection));
    double limit = 0.0;
    classLimit.reset();
    if (nivra::scanReal(file.readString(kClassLimit, kSection), limit) && limit > 0.0 &&
        std::isfinite(limit))
        classLimit = limit;
    std::uint32_t stop = 0;
    stopWhenDecided =
        nivra::scanUnsigned(file.readString(kStopWhenDecided, kSection), stop) && stop != 0;
}

nivra::Outcome AssayConfig::write(const std::string& path) const {
    return nivra::writeRecordFile(*this, path);
}

// The optional keys that are not set are taken out of the file, so that saving over a file that
// had them never leaves a kind, a limit or a stop that this configuration does not have.
bool AssayConfig::writeTo(ProfileFile& file) const {
    bool written = nivra::writeEntries(file, kSection, entries());
    const auto set = optionalEntries();
    for (const char* key : {kQaKind, kClassLimit, kStopWhenDecided})
        if (std::none_of(set.begin(), set.end(),
                         [key](const auto& entry) { return std::string_view(entry.first) == key; }))
            written = file.deleteKey(key, kSection) && written;
    return nivra::writeEntries(file, kSection, set) && written;
}

std::array<std::pair<const char*, std::string>, 10> AssayConfig::entries() const {
    return {{
        {kName, name},
        {kSampleArea, nivra::formatUnsigned(sampleArea)},
        {kDwellHours, nivra::formatUnsigned(dwellHours)},
        {kDwellMinutes, nivra::formatUnsigned(dwellMinutes)},
        {kDwellSeconds, nivra::formatUnsigned(dwellSeconds)},
        {kTotalHours, nivra::formatUnsigned(totalHours)},
        {kTotalMinutes, nivra::formatUnsigned(totalMinutes)},
        {kTotalSeconds, nivra::formatUnsigned(totalSeconds)},
        {kBackground, nivra::formatReal(backgroundRate)},
        {kBackgroundHours, nivra::formatReal(backgroundHours)},
    }};
}

std::vector<std::pair<const char*, std::string>> AssayConfig::optionalEntries() const {
    std::vector<std::pair<const char*, std::string>> set;
    if (qaKind)
        set.emplace_back(kQaKind, nivra::runKindName(*qaKind));
    if (classLimit)
        set.emplace_back(kClassLimit, nivra::formatC("%.15g", *classLimit));
    if (stopWhenDecided)
        set.emplace_back(kStopWhenDecided, "1");
    return set;
}

std::int64_t AssayConfig::dwellSpan() const {
    return span(dwellHours, dwellMinutes, dwellSeconds);
}

std::int64_t AssayConfig::totalSpan() const {
    return span(totalHours, totalMinutes, totalSeconds);
}

void AssayConfig::setTotalSpan(std::int64_t seconds) {
    constexpr std::int64_t kMaxHours = std::numeric_limits<std::uint32_t>::max();
    if (seconds < 0)
        seconds = 0;
    std::int64_t hours = seconds / 3600;
    if (hours > kMaxHours) {
        totalHours = static_cast<std::uint32_t>(kMaxHours);
        totalMinutes = 59;
        totalSeconds = 59;
        return;
    }
    totalHours = static_cast<std::uint32_t>(hours);
    totalMinutes = static_cast<std::uint32_t>(seconds / 60 - hours * 60);
    totalSeconds = static_cast<std::uint32_t>(seconds - (seconds / 60) * 60);
}

double AssayConfig::countTimeHours() const {
    // In 64 bits: a 32-bit sum would wrap for totals beyond about 136 years and give a count
    // time of a few hours instead.
    return static_cast<double>(totalSpan()) / 3600.0;
}

AssayConfig AssayConfig::countedOver(std::size_t points) const {
    AssayConfig counted = *this;
    const std::int64_t dwell = dwellSpan();
    if (points == 0 || dwell <= 0)
        return counted;
    // A product beyond 64 bits becomes the longest total the fields can hold.
    const bool fits =
        points <= static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max() / dwell);
    counted.setTotalSpan(fits ? static_cast<std::int64_t>(points) * dwell
                              : std::numeric_limits<std::int64_t>::max());
    return counted;
}

double AssayConfig::effectiveBackgroundHours() const {
    return backgroundHours != 0.0 ? backgroundHours : countTimeHours();
}

double AssayConfig::backgroundCounts() const {
    return effectiveBackgroundHours() * backgroundRate;
}

} // namespace nivra
