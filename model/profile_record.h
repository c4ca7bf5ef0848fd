#pragma once

#include "base/outcome.h"
#include "base/profile_file.h"

#include <string>

// How the configuration records write themselves: their keys, in their order, into their section.
namespace nivra {

// Queues every (key, value) of entries into section. Returns false when a key was refused.
template <typename Entries>
bool WriteEntries(CProfileFile& file, const char* section, const Entries& entries) {
    bool ok = true;
    for (const auto& [key, value] : entries)
        ok = file.WriteString(value, key, section) && ok;
    return ok;
}

// A record's write(path): to path, or to the record's own file when path is empty. Fails, saying
// why, when there was no path or the file could not be written.
template <typename Record> Outcome WriteRecordFile(const Record& record, const std::string& path) {
    const std::string& target = path.empty() ? record.filePath : path;
    if (target.empty())
        return Outcome::Failure("no file was named");
    CProfileFile file(target);
    if (!record.writeTo(file) || !file.Flush())
        return Outcome::Failure(file.WriteError());
    return {};
}

} // namespace nivra
