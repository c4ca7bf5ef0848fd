#include "storage/history_copy.h"

#include "base/sha256.h"

namespace nivra {

std::string derivedRunKey(const HistoryRun& run) {
    Sha256 digest;
    const std::string fields[] = {
        std::to_string(run.startEpoch),
        run.counter ? std::to_string(*run.counter) : "-",
        run.startTime,
        run.counterConfig.name,
        run.assayConfig.name,
        run.source == RunSource::Import ? "import" : "run",
        run.dataFile.value_or(""),
    };
    for (const std::string& field : fields) {
        digest.update(field);
        digest.update(std::string_view("\n", 1));
    }
    return "copied/" + digest.hexDigest();
}

HistoryCopySummary copyHistory(HistoryDatabase& from, HistoryDatabase& to) {
    HistoryCopySummary summary;
    RunFilter oldestFirst;
    oldestFirst.oldestFirst = true;
    std::vector<HistoryRun> runs;
    if (auto r = from.listRuns(oldestFirst, runs); !r) {
        ++summary.refused;
        summary.problems.push_back(r.error());
        return summary;
    }
    for (const HistoryRun& run : runs) {
        HistoryRunDetail detail;
        bool found = false;
        StorageResult r = from.loadRun(run.id, detail, found);
        if (r && !found)
            continue;
        if (!detail.run.runKey && !detail.run.contentHash)
            detail.run.runKey = derivedRunKey(detail.run);
        std::int64_t id = 0;
        bool added = false;
        if (r)
            r = to.mergeRun(detail, id, added);
        if (!r) {
            ++summary.refused;
            summary.problems.push_back("run " + std::to_string(run.id) + ": " + r.error());
        } else {
            ++(added ? summary.added : summary.present);
        }
    }
    return summary;
}

} // namespace nivra
