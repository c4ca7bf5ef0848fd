#pragma once

#include <cstddef>
#include <string>

// Opening a file the operator named for reading, without ever waiting on it. A FIFO without a
// writer, a terminal or a serial device would hold a plain open (or the first read) for as long
// as nobody writes to it; a folder opens but reads nothing. Only regular files are read.
namespace nivra {

// Opens path for reading when it is a regular file. Anything else is refused without waiting:
// the type is checked before the open, the open does not block, and the type is checked again
// on the open file, in case the path was replaced in between. Returns the descriptor (closed on
// exec; reads block as usual), or -1 with the reason: "is a folder", "is a FIFO", "is a device",
// "is not a regular file", or the system's text ("No such file or directory").
int openRegularFile(const std::string& path, std::string& reason);

// Whether path is a regular file that can be opened for reading; the reason when not.
bool canReadRegularFile(const std::string& path, std::string& reason);

// The whole content of the regular file at path. Returns false with the reason when it is no
// regular file or cannot be read.
bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason);

// The same for a file that may hold at most maxBytes: a larger one is refused by its size
// before anything is read, or as soon as reading passes the limit (a file that grows, or one
// whose size the system does not tell), with the reason "is larger than <maxBytes> bytes". The
// time and memory it takes are bounded by the limit, whatever the file.
bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     std::size_t maxBytes);

// How reading a file that may well be missing (a settings file) went.
enum class OptionalFileRead { kRead, kMissing, kFolder, kNotRegular, kTooLarge, kFailed };

// The whole content of the file at path when it is a regular file of at most maxBytes, without
// waiting on anything else named there; the system's reason with kFailed.
OptionalFileRead readOptionalFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                                  std::string& reason);

} // namespace nivra
