#pragma once

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

// Why the file at path cannot be opened as a data file, or "" when it can: "cannot read '<path>':
// <reason>" when it cannot be read or is no regular file (a folder, a FIFO or a device is refused
// at once, without waiting on it), and "not a data file: <path>" when it holds none of the four
// sections of a data file.
std::string dataFileProblem(const std::string& path);

// Reads a data file into a new record: counter number -1, end time 0, progress 0, and the
// file's configurations (keys missing from the file keep the built-in defaults), points and
// header lines. Each list ends at the first missing or empty key. A missing or unreadable file
// gives a record without points or header lines.
std::unique_ptr<AssayData> readDataFile(const std::string& path);

} // namespace nivra
