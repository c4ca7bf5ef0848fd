#include "storage/history_browser.h"

#include "storage/control_chart_report.h"
#include "storage/history_database.h"
#include "storage/history_location.h"
#include "storage/history_record.h"

namespace nivra {

StorageResult HistoryBrowser::open(HistoryDatabase& db) const {
    return openHistory(where_, db, HistoryDatabase::Access::Existing);
}

StorageResult HistoryBrowser::runs(const RunFilter& filter, std::vector<HistoryRun>& runs) const {
    runs.clear();
    HistoryDatabase db;
    if (auto r = open(db); !r)
        return r;
    return db.listRuns(filter, runs);
}

StorageResult HistoryBrowser::record(std::int64_t runId, std::unique_ptr<AssayData>& record) const {
    record.reset();
    HistoryDatabase db;
    if (auto r = open(db); !r)
        return r;
    HistoryRunDetail detail;
    bool found = false;
    if (auto r = db.loadRun(runId, detail, found); !r)
        return r;
    if (!found)
        return StorageResult::failure("no run " + std::to_string(runId) + " in the history");
    record = recordOfRun(detail);
    return StorageResult();
}

StorageResult HistoryBrowser::setKind(std::int64_t runId, RunKind kind) const {
    HistoryDatabase db;
    if (auto r = open(db); !r)
        return r;
    return db.setKind(runId, kind);
}

StorageResult HistoryBrowser::chartText(int counter, RunKind kind, std::string& text,
                                        std::optional<ControlChart>* chart) const {
    text.clear();
    if (chart)
        chart->reset();
    RunFilter filter;
    filter.counter = counter;
    filter.kind = kind;
    filter.oldestFirst = true;
    std::vector<HistoryRun> list;
    if (auto r = runs(filter, list); !r)
        return r;
    const ControlChartReport report = buildChartReport(list, std::nullopt);
    if (!report.chart)
        return StorageResult::failure("no reference runs with counting time for counter " +
                                      std::to_string(counter) + ", " + runKindName(kind));
    text = controlChartText(*report.chart, report.withoutTime);
    if (chart)
        *chart = report.chart;
    return StorageResult();
}

} // namespace nivra
