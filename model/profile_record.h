#pragma once

#include "base/outcome.h"
#include "base/profile_file.h"

#include <string>

// How the configuration records write themselves: their keys, in their order, into their section.
namespace nivra {

// Queues every (key, value) of entries into section. Returns false when a key was refused.
template <typename Entries>
bool writeEntries(ProfileFile& file, const char* section, const Entries& entries) {
    bool ok = true;
    for (const auto& [key, value] : entries)
        ok = file.writeString(value, key, section) && ok;
    return ok;
}

// A record's write(path): to path, or to the record's own file when path is empty. Fails, saying
// why, when there was no path or the file could not be written.
template <typename Record> Outcome writeRecordFile(const Record& record, const std::string& path) {
    const std::string& target = path.empty() ? record.filePath : path;
    if (target.empty())
        return Outcome::failure("no file was named");
    ProfileFile file(target);
    if (!record.writeTo(file) || !file.flush())
        return Outcome::failure(file.writeError());
    return {};
}

} // namespace nivra
