#include "storage/history_import.h"

#include "base/file_system.h"
#include "base/local_time.h"
#include "base/profile_file.h"
#include "base/sha256.h"
#include "base/utf8_path.h"
#include "base/value_encoding.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "storage/history_record.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace nivra {

namespace {

namespace fs = std::filesystem;

// A data file holds both configuration sections; a file without the numbers that every data
// file carries is some other file.
bool looksLikeDataFile(const std::string& path) {
    ProfileFile file(path);
    std::uint32_t number = 0;
    return scanUnsigned(file.readString("DETECTOR AREA", CounterConfig::kSection), number) &&
           scanUnsigned(file.readString("SAMPLE_AREA", AssayConfig::kSection), number) &&
           scanUnsigned(file.readString("DWELL SECONDS", AssayConfig::kSection), number);
}

// The configuration value of a record that the history cannot hold as a number, or "".
std::string unstorableValue(const AssayData& record) {
    const std::pair<const char*, double> values[] = {
        {"DETECTOR EFFICIENCY", record.counterConfig().detectorEfficiency},
        {"BACKGROUND", record.assayConfig().backgroundRate},
        {"BACKGROUND_HOURS", record.assayConfig().backgroundHours},
    };
    for (const auto& [key, value] : values)
        if (!std::isfinite(value))
            return std::string(key) + " is not a finite number";
    return {};
}

std::optional<std::int64_t> stampAfter(const std::vector<std::string>& lines,
                                       const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0)
            return parseLocalTimeStamp(line.substr(prefix.size()));
    return std::nullopt;
}

bool endsWithDax(const fs::path& path) {
    std::string extension = utf8FromPath(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".dax";
}

} // namespace

ImportOutcome importDataFile(HistoryDatabase& db, const std::string& path,
                             const ImportOptions& options) {
    ImportOutcome outcome;
    // A FIFO, a device, a dangling link or a loop of links is refused with the system's word for
    // it, without waiting on it; so is a damaged data file, with its damage.
    std::string problem;
    const auto record = openDataFile(path, problem);
    if (!record) {
        outcome.reason = problem;
        return outcome;
    }
    errno = 0;
    const std::string hash = sha256OfFile(path);
    const std::optional<std::int64_t> modified =
        hash.empty() ? std::nullopt : fileModificationTime(path);
    if (!modified) {
        outcome.reason = "cannot read '" + path + "': " + std::strerror(errno ? errno : EIO);
        return outcome;
    }
    if (!looksLikeDataFile(path)) {
        outcome.reason = "not a data file: " + path + " (no counter and assay configuration)";
        return outcome;
    }
    if (const std::string bad = unstorableValue(*record); !bad.empty()) {
        outcome.reason = bad;
        return outcome;
    }

    HistoryRunDetail detail = detailOfRecord(*record);
    HistoryRun& run = detail.run;
    run.source = RunSource::Import;
    run.contentHash = hash;
    run.dataFile = absolutePath(path);
    run.counter = options.counter;
    if (options.kind)
        run.kind = *options.kind;
    run.startEpoch = stampAfter(detail.headerLines, "Start Time: ").value_or(*modified);
    run.startTime = formatIsoLocalTime(run.startEpoch);
    if (auto end = stampAfter(detail.headerLines, "End Time: ")) {
        run.endReason = RunEnd::Time;
        run.endTime = formatIsoLocalTime(*end);
    } else if (auto stop = stampAfter(detail.headerLines, "STOP TIME: ")) {
        run.endReason = RunEnd::Stop;
        run.endTime = formatIsoLocalTime(*stop);
    } else {
        run.endReason = RunEnd::Interrupted;
    }

    std::optional<std::int64_t> duplicateOf;
    if (auto r = db.importRun(detail, duplicateOf); !r) {
        outcome.status = ImportOutcome::Status::NotWritten;
        outcome.reason = r.error();
        return outcome;
    }
    if (duplicateOf) {
        outcome.status = ImportOutcome::Status::Duplicate;
        outcome.runId = *duplicateOf;
    } else {
        outcome.status = ImportOutcome::Status::Imported;
        outcome.runId = run.id;
    }
    return outcome;
}

std::vector<std::string> dataFilesAt(const std::string& path, std::vector<std::string>& problems) {
    std::error_code error;
    if (!fs::is_directory(pathFromUtf8(path), error))
        return {path};
    std::vector<std::string> files;
    // Folder by folder, so that one unreadable folder is reported and the rest still read.
    // Links to folders are not followed: they could lead round in a circle.
    std::vector<fs::path> folders{pathFromUtf8(path)};
    while (!folders.empty()) {
        const fs::path folder = folders.back();
        folders.pop_back();
        fs::directory_iterator it(folder, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            std::error_code typeError;
            if (it->is_directory(typeError) && !it->is_symlink(typeError))
                folders.push_back(it->path());
            else if (endsWithDax(it->path()))
                // Whatever it is (a FIFO, a dangling link, a loop of links): the import tells
                // why it is refused rather than passing it over in silence.
                files.push_back(utf8FromPath(it->path()));
        }
        if (error) {
            problems.push_back(utf8FromPath(folder) + ": " + error.message());
            error.clear();
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace nivra
