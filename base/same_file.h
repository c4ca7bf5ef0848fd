#pragma once

#include <string>

namespace nivra {

// Whether two paths name the same file: for files that exist, the same file on the same device
// (so a hard link or a symbolic link to a file is that file); for files that do not exist yet,
// the same place once "." and "..", repeated slashes and links in the folders are resolved
// ("out/run.dax", "./out/run.dax" and "out/../out/run.dax" are one file).
bool isSameFile(const std::string& a, const std::string& b);

} // namespace nivra
