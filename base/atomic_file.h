#pragma once

#include "base/outcome.h"

#include <string>

namespace nivra {

// Whether a file at path can be written: its folder exists and is writable, its name fits the
// folder's name limit, and what is at the name, when anything is, is a link (which a save
// replaces) or a regular file that is not read-only (read-only files stay read-only even for the
// superuser). Creates nothing: the program never makes folders. When not, errno tells why.
bool canWriteFile(const std::string& path);

// The check before an output is started on (a run that saves its data file at its end): that of
// canWriteFile and, when nothing is at path yet, whether the name can be created at all (the
// file is created empty and removed at once). The error is the system's reason ("Permission
// denied", "No such file or directory", "File name too long", ...).
Outcome outputFileProblem(const std::string& path);

// Replaces the file at path with bytes in one atomic step: a temporary file in the same folder,
// flushed to disk and renamed over the old one, so a crash or a full disk leaves either the old
// or the new content, never a torn file. Refuses what canWriteFile refuses. A link at path is
// replaced by the new file, never written through. A replaced regular file keeps its permissions
// (without set-id bits); a new one gets 0666 less the umask. Returns whether the new content is
// safely on disk; when not, errno tells why, and the old file is as it was.
//
// The temporary file is ".<name>.tmp-<pid>-<n>" beside the file, with <name> shortened when the
// whole would exceed the folder's name limit. Such files that a crash left behind are removed by
// the next save of the same file, unless the process named in them still runs (its save may be
// in progress).
bool replaceFileAtomically(const std::string& path, const std::string& bytes);

// The same, as an outcome whose error is the system's reason. Every output of the program (data
// files, backups, CSV exports, pictures, port lists) is written this way.
Outcome writeFileAtomically(const std::string& path, const std::string& bytes);

} // namespace nivra
