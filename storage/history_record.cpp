#include "storage/history_record.h"

namespace nivra {

std::unique_ptr<AssayData> recordOfRun(const HistoryRunDetail& detail) {
    AssayConfig assay = detail.run.assayConfig;
    assay.qaKind =
        detail.run.kind == RunKind::Sample ? std::nullopt : std::optional<RunKind>(detail.run.kind);
    auto record = std::make_unique<AssayData>(detail.run.counterConfig, assay,
                                              detail.run.counter.value_or(-1));
    for (const std::string& line : detail.headerLines)
        record->appendHeaderLine(line);
    for (const HistoryPoint& point : detail.points)
        record->appendPoint(point.count);
    // Deleted from the back, so that the indexes of the ones still to delete stay put.
    for (std::size_t i = detail.points.size(); i-- > 0;)
        if (detail.points[i].deleted)
            record->deletePoint(static_cast<int>(i));
    return record;
}

HistoryRunDetail detailOfRecord(const AssayData& record) {
    HistoryRunDetail detail;
    detail.run.counterConfig = record.counterConfig();
    detail.run.assayConfig = record.assayConfig();
    detail.run.kind = detail.run.assayConfig.kind();
    detail.headerLines = record.headerLines();
    int number = 0;
    for (std::int32_t count : record.counts()) {
        detail.points.push_back({++number, count, false});
        ++detail.run.points;
        detail.run.totalCounts += count;
    }
    return detail;
}

} // namespace nivra
