#pragma once

#include "base/start_directory.h"

#include <string>

namespace nivra::test {

// A fresh folder below the system's temporary folder, removed with everything in it when the
// object goes. Tests use it as their start directory or as a place for files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // The folder as a program's start directory.
    StartDirectory start() const { return StartDirectory(path_); }

private:
    std::string path_;
};

// The whole content of a file as bytes ("" when it cannot be read), and a file written at once.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

} // namespace nivra::test
