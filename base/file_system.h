#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The few questions and changes to the file system that the layers above ask beside reading and
// atomically replacing files, each in one place per operating system. Paths are UTF-8; a
// failure leaves the reason in errno (the system's reason translated to the C library's numbers
// where the system has its own), so callers report it with std::strerror as for any other call.
namespace nivra {

// std::fopen(path, "rb") for a UTF-8 path; nullptr when the file cannot be opened.
std::FILE* openForReading(const std::string& path);

// Whether something can be reached at path (a link is followed: a link to a missing file is not
// there).
bool fileExists(const std::string& path);

// Whether the name itself is taken, by a file, a folder or a link (a dangling one too).
bool nameExists(const std::string& path);

// The last modification of the file at path, in seconds since the epoch.
std::optional<std::int64_t> fileModificationTime(const std::string& path);

// Removes the file (or link) at path; false when it could not.
bool removeFile(const std::string& path);

// Renames from to to unless something is at to already (errno EEXIST then).
bool renameWithoutReplacing(const std::string& from, const std::string& to);

// The names in a folder, without "." and ".."; empty when it cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

// Creates a new file at path (refusing one that is there), writes size bytes into it, forces
// them to the disk and removes the file again: whether the folder can take a file of that size
// now. The system's reason when not, "" when it can.
std::string writeProbeFile(const std::string& path, std::size_t size);

// path made absolute (against the current directory) with "." and ".." taken out and '/' as the
// separator; path itself when that cannot be done.
std::string absolutePath(const std::string& path);

// The current directory, or nothing when it cannot be read.
std::optional<std::string> currentDirectory();

// The id of this process.
long long processId();

// The name of this machine on the network, "" when it cannot be told.
std::string localMachineName();

} // namespace nivra
