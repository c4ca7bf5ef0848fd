#include "storage/history_spool.h"

#include "base/file_system.h"

namespace nivra {

SpoolDelivery deliverSpool(HistoryDatabase& target, const std::string& spoolPath) {
    SpoolDelivery delivery;
    if (!fileExists(spoolPath))
        return delivery;
    HistoryDatabase spool;
    if (auto r = spool.open(spoolPath, HistoryDatabase::Access::Existing); !r) {
        delivery.problem = r.error();
        return delivery;
    }
    RunFilter oldestFirst;
    oldestFirst.oldestFirst = true;
    std::vector<HistoryRun> runs;
    if (auto r = spool.listRuns(oldestFirst, runs); !r) {
        delivery.problem = r.error();
        return delivery;
    }
    delivery.left = runs.size();
    for (const HistoryRun& run : runs) {
        HistoryRunDetail detail;
        bool found = false;
        StorageResult r = spool.loadRun(run.id, detail, found);
        if (r && !found) {
            --delivery.left; // another program delivered it meanwhile
            continue;
        }
        std::int64_t id = 0;
        bool added = false;
        if (r)
            r = target.mergeRun(detail, id, added);
        if (r)
            r = spool.deleteRun(run.id);
        if (!r) {
            delivery.problem = r.error();
            return delivery;
        }
        ++delivery.delivered;
        --delivery.left;
    }
    return delivery;
}

} // namespace nivra
