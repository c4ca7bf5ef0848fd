#include "model/assay_config.h"

#include "base/profile_file.h"
#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "model/profile_record.h"

#include <limits>

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

std::int64_t Span(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds) {
    // At most about 1.6e13 for the largest fields, far inside 64 bits.
    return (static_cast<std::int64_t>(hours) * 60 + minutes) * 60 + seconds;
}

} // namespace

AssayConfig::AssayConfig() : filePath(nivra::StartPath(nivra::kDefaultAssayConfigFile)) {
    read(filePath);
}

AssayConfig::AssayConfig(const std::string& path) {
    read(path);
}

AssayConfig AssayConfig::Defaults() {
    return AssayConfig(NoFile{});
}

std::string AssayConfig::read(const std::string& path) {
    CProfileFile file(path);
    if (!file.ReadError().empty())
        return file.ReadError();
    readFrom(file);
    return {};
}

void AssayConfig::readFrom(CProfileFile& file) {
    name = file.ReadString(kName, kSection);
    nivra::ScanUnsigned(file.ReadString(kSampleArea, kSection), sampleArea);
    nivra::ScanUnsigned(file.ReadString(kDwellHours, kSection), dwellHours);
    nivra::ScanUnsigned(file.ReadString(kDwellMinutes, kSection), dwellMinutes);
    nivra::ScanUnsigned(file.ReadString(kDwellSeconds, kSection), dwellSeconds);
    nivra::ScanUnsigned(file.ReadString(kTotalHours, kSection), totalHours);
    nivra::ScanUnsigned(file.ReadString(kTotalMinutes, kSection), totalMinutes);
    nivra::ScanUnsigned(file.ReadString(kTotalSeconds, kSection), totalSeconds);
    nivra::ScanReal(file.ReadString(kBackground, kSection), backgroundRate);
    nivra::ScanReal(file.ReadString(kBackgroundHours, kSection), backgroundHours);
    qaKind = nivra::ParseRunKind(file.ReadString(kQaKind, kSection));
}

nivra::Outcome AssayConfig::write(const std::string& path) const {
    return nivra::WriteRecordFile(*this, path);
}

bool AssayConfig::writeTo(CProfileFile& file) const {
    const bool written = nivra::WriteEntries(file, kSection, entries());
    return nivra::WriteEntries(file, kSection, optionalEntries()) && written;
}

std::array<std::pair<const char*, std::string>, 10> AssayConfig::entries() const {
    return {{
        {kName, name},
        {kSampleArea, nivra::FormatUnsigned(sampleArea)},
        {kDwellHours, nivra::FormatUnsigned(dwellHours)},
        {kDwellMinutes, nivra::FormatUnsigned(dwellMinutes)},
        {kDwellSeconds, nivra::FormatUnsigned(dwellSeconds)},
        {kTotalHours, nivra::FormatUnsigned(totalHours)},
        {kTotalMinutes, nivra::FormatUnsigned(totalMinutes)},
        {kTotalSeconds, nivra::FormatUnsigned(totalSeconds)},
        {kBackground, nivra::FormatReal(backgroundRate)},
        {kBackgroundHours, nivra::FormatReal(backgroundHours)},
    }};
}

std::vector<std::pair<const char*, std::string>> AssayConfig::optionalEntries() const {
    std::vector<std::pair<const char*, std::string>> set;
    if (qaKind)
        set.emplace_back(kQaKind, nivra::RunKindName(*qaKind));
    return set;
}

std::int64_t AssayConfig::dwellSpan() const {
    return Span(dwellHours, dwellMinutes, dwellSeconds);
}

std::int64_t AssayConfig::totalSpan() const {
    return Span(totalHours, totalMinutes, totalSeconds);
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

double AssayConfig::effectiveBackgroundHours() const {
    return backgroundHours != 0.0 ? backgroundHours : countTimeHours();
}

double AssayConfig::backgroundCounts() const {
    return effectiveBackgroundHours() * backgroundRate;
}
