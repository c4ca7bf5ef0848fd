#include "model/assay_data.h"

#include "model/statistics.h"

#include <algorithm>
#include <limits>

namespace nivra {

namespace {

// Clamps 1-based inclusive point numbers to 1..count and returns them as a 0-based half-open
// range [begin, end); begin >= end when the range holds no point.
std::pair<std::size_t, std::size_t> clampRange(int first, int last, std::size_t count) {
    const long long size = static_cast<long long>(count);
    long long begin = std::clamp(static_cast<long long>(first) - 1, 0LL, size);
    long long end = std::clamp(static_cast<long long>(last), begin, size);
    return {static_cast<std::size_t>(begin), static_cast<std::size_t>(end)};
}

// n × span without overflowing: the longest total the fields hold when the product does not fit.
std::int64_t timesSpan(std::size_t n, std::int64_t span) {
    if (n == 0 || span <= 0)
        return 0;
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max() / span))
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(n) * span;
}

} // namespace

AssayData::AssayData(CounterConfig counterConfig, AssayConfig assayConfig, int counterNumber)
    : fields_{0.0, std::move(counterConfig), std::move(assayConfig), counterNumber, {}, 0, {}} {}

AssayData::AssayData(Snapshot fields) : fields_(std::move(fields)) {}

AssayData::AssayData(const AssayData& other) : fields_(other.snapshot()) {}

AssayData& AssayData::operator=(const AssayData& other) {
    if (this == &other)
        return *this;
    Snapshot copy = other.snapshot();
    std::lock_guard lock(mutex_);
    fields_ = std::move(copy);
    return *this;
}

AssayData::~AssayData() = default;

AssayData::Snapshot AssayData::snapshot() const {
    std::lock_guard lock(mutex_);
    return fields_;
}

void AssayData::appendPoint(std::int32_t count) {
    std::lock_guard lock(mutex_);
    fields_.counts.push_back(count);
}

bool AssayData::deletePoint(int index) {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= fields_.counts.size())
        return false;
    fields_.counts.erase(fields_.counts.begin() + index);
    AssayConfig& config = fields_.assayConfig;
    // setTotalSpan stops at zero: deleting more dwells than the total holds must not wrap the
    // unsigned fields round to a huge time.
    config.setTotalSpan(config.totalSpan() - config.dwellSpan());
    return true;
}

std::unique_ptr<AssayData> AssayData::extractRange(int first, int last) const {
    std::lock_guard lock(mutex_);
    auto extract = std::make_unique<AssayData>(fields_.counterConfig, fields_.assayConfig, -1);
    auto [begin, end] = clampRange(first, last, fields_.counts.size());
    Snapshot& target = extract->fields_; // not yet shared: no lock needed
    target.counts.assign(fields_.counts.begin() + static_cast<std::ptrdiff_t>(begin),
                         fields_.counts.begin() + static_cast<std::ptrdiff_t>(end));
    target.assayConfig.setTotalSpan(timesSpan(end - begin, target.assayConfig.dwellSpan()));
    return extract;
}

std::size_t AssayData::pointCount() const {
    std::lock_guard lock(mutex_);
    return fields_.counts.size();
}

std::optional<std::int32_t> AssayData::count(std::size_t index) const {
    std::lock_guard lock(mutex_);
    if (index >= fields_.counts.size())
        return std::nullopt;
    return fields_.counts[index];
}

std::vector<std::int32_t> AssayData::counts() const {
    std::lock_guard lock(mutex_);
    return fields_.counts;
}

std::vector<std::int32_t> AssayData::counts(int first, int last) const {
    std::lock_guard lock(mutex_);
    auto [begin, end] = clampRange(first, last, fields_.counts.size());
    return {fields_.counts.begin() + static_cast<std::ptrdiff_t>(begin),
            fields_.counts.begin() + static_cast<std::ptrdiff_t>(end)};
}

void AssayData::appendHeaderLine(std::string line) {
    std::lock_guard lock(mutex_);
    fields_.headerLines.push_back(std::move(line));
}

bool AssayData::insertHeaderLine(std::size_t index, std::string line) {
    std::lock_guard lock(mutex_);
    auto& lines = fields_.headerLines;
    if (index > lines.size())
        return false;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    return true;
}

bool AssayData::removeHeaderLine(std::size_t index) {
    std::lock_guard lock(mutex_);
    auto& lines = fields_.headerLines;
    if (index >= lines.size())
        return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::vector<std::string> AssayData::headerLines() const {
    std::lock_guard lock(mutex_);
    return fields_.headerLines;
}

std::size_t AssayData::headerLineCount() const {
    std::lock_guard lock(mutex_);
    return fields_.headerLines.size();
}

double AssayData::progress() const {
    std::lock_guard lock(mutex_);
    return fields_.progress;
}

void AssayData::setProgress(double progress) {
    std::lock_guard lock(mutex_);
    fields_.progress = progress;
}

std::int64_t AssayData::endTime() const {
    std::lock_guard lock(mutex_);
    return fields_.endTime;
}

void AssayData::setClassLimit(std::optional<double> limit) {
    std::lock_guard lock(mutex_);
    fields_.assayConfig.classLimit = limit;
}

void AssayData::setEndTime(std::int64_t endTime) {
    std::lock_guard lock(mutex_);
    fields_.endTime = endTime;
}

int AssayData::counterNumber() const {
    std::lock_guard lock(mutex_);
    return fields_.counterNumber;
}

CounterConfig AssayData::counterConfig() const {
    std::lock_guard lock(mutex_);
    return fields_.counterConfig;
}

AssayConfig AssayData::assayConfig() const {
    std::lock_guard lock(mutex_);
    return fields_.assayConfig;
}

nivra::StatisticsInputs AssayData::statisticsInputs(bool withDeviation) const {
    std::lock_guard lock(mutex_);
    return nivra::gatherStatisticsInputs(fields_.counts, fields_.assayConfig, fields_.counterConfig,
                                         withDeviation);
}

} // namespace nivra
