#include "storage/history_location.h"

#include "base/profile_file.h"
#include "storage/history_spool.h"

#include "base/file_system.h"
#include <cstdlib>

namespace nivra {

namespace {

// The part of a URI between "://" and the host: "user:password@" or "" (npos when none).
std::size_t userInfoEnd(const std::string& uri, std::size_t& start) {
    start = uri.find("://");
    if (start == std::string::npos)
        return std::string::npos;
    start += 3;
    const std::size_t hostEnd = uri.find_first_of("/?", start);
    const std::size_t at = uri.rfind('@', hostEnd == std::string::npos ? uri.size() : hostEnd);
    return at != std::string::npos && at >= start ? at : std::string::npos;
}

std::string relativeToStart(const StartDirectory& start, const std::string& location) {
    if (HistoryDatabase::isServerLocation(location) || location.empty() || location[0] == '/')
        return location;
    return start.file(location);
}

} // namespace

bool locationHasPassword(const std::string& location) {
    if (!HistoryDatabase::isServerLocation(location))
        return false;
    std::size_t start = 0;
    const std::size_t at = userInfoEnd(location, start);
    if (at != std::string::npos &&
        location.substr(start, at - start).find(':') != std::string::npos)
        return true;
    const std::size_t query = location.find('?');
    return query != std::string::npos && (location.find("?password=", query) != std::string::npos ||
                                          location.find("&password=", query) != std::string::npos);
}

std::string shownLocation(const std::string& location) {
    if (!locationHasPassword(location))
        return location;
    std::string shown = location;
    std::size_t start = 0;
    if (const std::size_t at = userInfoEnd(shown, start); at != std::string::npos) {
        const std::size_t colon = shown.find(':', start);
        if (colon != std::string::npos && colon < at)
            shown.erase(colon, at - colon);
    }
    for (const char* key : {"?password=", "&password="}) {
        const std::size_t found = shown.find(key);
        if (found == std::string::npos)
            continue;
        const std::size_t valueStart = found + std::char_traits<char>::length(key);
        const std::size_t valueEnd = shown.find('&', valueStart);
        shown.replace(valueStart,
                      (valueEnd == std::string::npos ? shown.size() : valueEnd) - valueStart,
                      "***");
    }
    return shown;
}

StorageResult historyLocation(const StartDirectory& start, std::string& location) {
    if (const char* named = std::getenv(kHistoryEnvironment); named && *named) {
        location = relativeToStart(start, named);
        return {};
    }
    ProfileFile config(start.file(kHistoryConfigFile));
    const std::string configured = config.readString(kHistoryLocationKey, kHistorySection);
    if (!config.readError().empty()) {
        location.clear();
        return StorageResult::failure(std::string(kHistoryConfigFile) +
                                      " cannot be read: " + config.readError());
    }
    if (configured.empty()) {
        location = defaultHistoryFile(start);
        return {};
    }
    if (locationHasPassword(configured)) {
        location.clear();
        return StorageResult::failure(
            std::string(kHistoryConfigFile) +
            " names a password; keep it in ~/.pgpass (or PGPASSWORD) and leave it out of the "
            "URI");
    }
    location = relativeToStart(start, configured);
    return {};
}

HistoryLocation resolveHistoryLocation(const StartDirectory& start) {
    HistoryLocation resolved;
    resolved.startDirectory = start;
    if (auto r = historyLocation(start, resolved.location); !r)
        resolved.problem = r.error();
    return resolved;
}

std::string defaultHistoryFile(const StartDirectory& start) {
    return start.file(HistoryDatabase::kFileName);
}

std::string historySpoolPath(const StartDirectory& start) {
    return start.file(kHistorySpoolFile);
}

StorageResult openHistory(const HistoryLocation& where, HistoryDatabase& db,
                          HistoryDatabase::Access access) {
    if (where.location.empty() && !where.problem.empty())
        return StorageResult::failure(where.problem);
    if (auto r = db.open(where.location, access); !r)
        return r;
    if (db.isServer() && where.startDirectory)
        deliverSpool(db, historySpoolPath(*where.startDirectory));
    return {};
}

StorageResult openStartDirectoryHistory(const StartDirectory& start, HistoryDatabase& db,
                                        HistoryDatabase::Access access) {
    return openHistory(resolveHistoryLocation(start), db, access);
}

std::string localHostName() {
    return localMachineName();
}

} // namespace nivra
