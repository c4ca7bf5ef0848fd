#pragma once

#include "base/outcome.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace nivra {

class ProfileFile;

// One detector: its name, a free-text description, the detector area and the detection
// efficiency. A value type, copied member by member (the file path included). Kept in counter
// configuration files (.ccx, one per slot as counter_config/counter<N>.ccx) and inside every
// data file, in the section "COUNTER CONFIG".
struct CounterConfig {
    static constexpr const char* kSection = "COUNTER CONFIG";

    std::string name = "default name";
    // One line of text. Line breaks (they can only be pasted) are written as blanks, since a
    // profile file holds one value per line.
    std::string description = "default config";
    std::uint32_t detectorArea = 1000; // in the unit of the sample area
    double detectorEfficiency = 0.84;  // a fraction: 0.84 means 84 %
    std::string filePath;              // used by write() when it is given no path; never stored

    // The built-in defaults, then the file at path, which also becomes filePath.
    explicit CounterConfig(const std::string& path);

    // The built-in defaults alone with the given filePath; no file is read.
    static CounterConfig defaults(const std::string& filePath = {});

    // Fills the record from the section "COUNTER CONFIG" of the file. Missing texts (or a
    // missing file) empty name and description; a number that cannot be converted keeps its
    // current value. filePath is not touched.
    // Returns why the file could not be read (the record is then left as it was), or "".
    std::string read(const std::string& path);
    void readFrom(ProfileFile& file);

    // Writes the four keys to path, or to filePath when path is empty. Fails, saying why, when
    // there was no path or the file could not be written (missing folder, read-only file, full
    // disk). filePath is never changed.
    nivra::Outcome write(const std::string& path = {}) const;

    // Queues the four keys into an open profile file (committed by its Flush). Returns false
    // when a key was refused.
    bool writeTo(ProfileFile& file) const;

    // The four keys with their values formatted for the file, in the file's order.
    std::array<std::pair<const char*, std::string>, 4> entries() const;

private:
    struct NoFile {};
    explicit CounterConfig(NoFile) {}
};

} // namespace nivra
