#pragma once

#include <string>

namespace nivra {

// Whether a file at path can be written: its folder exists and is writable, and the file, when
// it exists, is a regular file that is not read-only (read-only files stay read-only even for
// the superuser). Creates nothing: the program never makes folders. When not, errno tells why.
bool canWriteFile(const std::string& path);

// Replaces the file at path with bytes in one atomic step: a temporary file in the same folder,
// flushed to disk and renamed over the old one, so a crash or a full disk leaves either the old
// or the new content, never a torn file. Refuses what canWriteFile refuses. A replaced file
// keeps its permissions; a new one gets 0666 less the umask. Returns whether the new content is
// safely on disk; when not, errno tells why.
//
// The temporary file is ".<name>.tmp-<pid>-<n>" beside the file. Such files that a crash left
// behind are removed by the next save of the same file, unless the process named in them still
// runs (its save may be in progress).
bool replaceFileAtomically(const std::string& path, const std::string& bytes);

} // namespace nivra
