#pragma once

#include "base/outcome.h"
#include "base/start_directory.h"
#include "model/run_kind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra {

class ProfileFile;

// What one run measures and for how long: the assay's name, the sample area, the dwell time (the
// length of one data point), the total time of the run and the background. A value type, copied
// member by member (the file path included). Kept in assay configuration files (.acx) and inside
// every data file, in the section "ASSAY CONFIG".
//
// The parts of a time are not normalised: 90 minutes or 25 hours are valid and simply add up.
struct AssayConfig {
    static constexpr const char* kSection = "ASSAY CONFIG";

    std::string name = "default assay config";
    std::uint32_t sampleArea = 1000; // cm²
    std::uint32_t dwellHours = 2;
    std::uint32_t dwellMinutes = 2;
    std::uint32_t dwellSeconds = 3;
    std::uint32_t totalHours = 4;
    std::uint32_t totalMinutes = 5;
    std::uint32_t totalSeconds = 6;
    double backgroundRate = 1.0;  // counts per hour
    double backgroundHours = 4.0; // 0 means "the same as the total time"
    // The optional key "QA KIND": what runs of this assay measure for the quality-control
    // charts. Absent (or not one of the kind names) means a sample.
    std::optional<nivra::RunKind> qaKind;
    // The optional key "CLASS LIMIT": the customer's limit on the efficiency-corrected net rate,
    // in alphas per cm² and hour, that runs of this assay are judged against. Absent, 0 or not a
    // positive number means no limit.
    std::optional<double> classLimit;
    // The optional key "STOP WHEN DECIDED" (1: set): a run of this assay ends at the first
    // closed point, from the second on, at which the verdict against classLimit is below or
    // above. Written only when set.
    bool stopWhenDecided = false;
    std::string filePath; // used by write() when it is given no path; never stored

    // The built-in defaults; no file is read (see loadDefault for the default file).
    AssayConfig() = default;

    // The built-in defaults, then the file at path. filePath stays empty, so the record is
    // written only with an explicit path.
    explicit AssayConfig(const std::string& path);

    // The built-in defaults alone; no file is read and filePath is empty.
    static AssayConfig defaults();

    // The default configuration of a start directory: the built-in defaults, then the file
    // "assay_config/default.acx" below startDirectory, which also becomes filePath (a missing
    // file leaves the defaults).
    static AssayConfig loadDefault(const StartDirectory& startDirectory);

    // Fills the record from the section "ASSAY CONFIG" of the file. A missing name (or file)
    // empties the name; a number that cannot be converted keeps its current value. filePath is
    // not touched.
    // Returns why the file could not be read (the record is then left as it was), or "".
    std::string read(const std::string& path);
    void readFrom(ProfileFile& file);

    // Writes the ten keys to path, or to filePath when path is empty. Fails, saying why, when
    // there was no path or the file could not be written (missing folder, read-only file, full
    // disk). filePath is never changed.
    nivra::Outcome write(const std::string& path = {}) const;

    // Queues the ten keys (and the optional ones that are set) into an open profile file (committed
    // by its Flush). Returns false when a key was refused.
    bool writeTo(ProfileFile& file) const;

    // The ten keys with their values formatted for the file, in the file's order.
    std::array<std::pair<const char*, std::string>, 10> entries() const;
    // The optional keys that are set ("QA KIND", "CLASS LIMIT", "STOP WHEN DECIDED"), written
    // after the ten.
    std::vector<std::pair<const char*, std::string>> optionalEntries() const;

    // The kind of the runs of this assay: qaKind, a sample when it is not set.
    nivra::RunKind kind() const { return qaKind.value_or(nivra::RunKind::Sample); }

    // Time spans in whole seconds: (hours × 60 + minutes) × 60 + seconds.
    std::int64_t dwellSpan() const;
    std::int64_t totalSpan() const;

    // Splits a span back into totalHours (not reduced modulo 24), totalMinutes and totalSeconds.
    // A negative span becomes 0; a span too long for the hours field keeps the longest total the
    // fields can hold.
    void setTotalSpan(std::int64_t seconds);

    // The total time in hours: the time base of the counting statistics.
    double countTimeHours() const;
    // This configuration with the time actually counted as its total: points × dwell, as the
    // All Data view has it. A stopped, recovered or edited record then gives its true rates.
    // Without points the total stays as configured (nothing was counted either way).
    AssayConfig countedOver(std::size_t points) const;
    // backgroundHours, or countTimeHours() when backgroundHours is 0.
    double effectiveBackgroundHours() const;
    // Background counts expected over the background time: effectiveBackgroundHours × rate.
    double backgroundCounts() const;
};

} // namespace nivra
