#pragma once

#include <string>
#include <string_view>

// The temporary files an atomic save writes beside its target before it renames them into
// place: ".<stem>.tmp-<pid>-<n>". The name tells which process wrote it, so that a later save
// removes only what a process that no longer runs left behind. Shared by the system back-ends
// of the atomic writer.
namespace nivra {

// A new temporary file name (not path) for stem, written by process pid: n counts up in this
// process, so two saves of one process never share a name.
std::string temporaryFileName(const std::string& stem, unsigned long pid);

// The process id in ".<stem>.tmp-<pid>-<n>" (decimal pid and n); 0 for any other name.
unsigned long temporaryOwner(std::string_view name, const std::string& stem);

// Marks a temporary file as being written by this process for its lifetime.
class LiveTemporary {
public:
    explicit LiveTemporary(std::string path);
    ~LiveTemporary();
    LiveTemporary(const LiveTemporary&) = delete;
    LiveTemporary& operator=(const LiveTemporary&) = delete;

private:
    std::string path_;
};

// Whether this process is writing the temporary file at path right now.
bool isLiveTemporary(const std::string& path);

} // namespace nivra
