#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The data file (.dax): one assay record in a profile file. See data_file.cpp for the layout.
namespace nivra {
class AssayData;

// Writes the record as a data file, creating or replacing it in one atomic step: the two
// configuration sections, one "D<i>" key per header line in "ASSAY DESC" and one "P<i>" key per
// point in "ASSAY DATA". Whatever the file held before, reading it back gives exactly the
// record's points and header lines. Returns false when the file could not be written.
bool saveDataFile(const AssayData& data, const std::string& path);
// The same, telling why a save failed ("No space left on device", ...) in reason.
bool saveDataFile(const AssayData& data, const std::string& path, std::string& reason);

// The largest file taken for a data file: far above the longest run's file (about 15 bytes a
// point), far below what would make reading it take long or hold much memory.
inline constexpr std::size_t kMaxDataFileBytes = std::size_t{64} << 20;

// Why the file at path cannot be opened as a data file, or "" when it can:
//  - "cannot read '<path>': <reason>" when it cannot be read or is no regular file (a folder, a
//    FIFO or a device is refused at once, without waiting on it);
//  - "not a data file: <path> (...)" when it is larger than kMaxDataFileBytes (told by its size,
//    without reading it) or lacks one of the sections every data file has, "[COUNTER CONFIG]",
//    "[ASSAY CONFIG]" and "[ASSAY DATA]";
//  - "damaged data file: <path>: P1='abc' is not a count" when a point's value is not a whole
//    decimal number within the range of a count (a NUL byte in it included), or "damaged data
//    file: <path>: line N holds a NUL byte" for a NUL byte elsewhere.
std::string dataFileProblem(const std::string& path);

// Reads the data file at path as readDataFile does, after the checks of dataFileProblem: nothing,
// and the problem in its words, when the file is refused.
std::unique_ptr<AssayData> openDataFile(const std::string& path, std::string& problem);

// Reads a data file into a new record: counter number -1, end time 0, progress 0, and the
// file's configurations (keys missing from the file keep the built-in defaults), points and
// header lines. Each list ends at the first missing or empty key. A missing or unreadable file
// gives a record without points or header lines. No value is checked: a point that is no number
// repeats the one before it. Files the operator names are read with openDataFile.
std::unique_ptr<AssayData> readDataFile(const std::string& path);

} // namespace nivra
