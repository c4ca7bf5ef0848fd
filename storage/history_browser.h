#pragma once

#include "model/assay_data.h"
#include "model/control_chart.h"
#include "model/run_kind.h"
#include "storage/history_database.h"
#include "storage/history_location.h"
#include "storage/history_run.h"
#include "storage/storage_result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nivra {

// What a window browsing the run history asks of it: the runs a filter selects, the record of
// one run, a run's kind changed, and the control-chart table of a counter and kind. Each call
// opens the history file for its own short work, so runs recording meanwhile are never held up.
class HistoryBrowser {
public:
    // The history at a resolved location (a start directory's, or a file's path or a server's
    // URI named directly).
    explicit HistoryBrowser(HistoryLocation where) : where_(std::move(where)) {}

    StorageResult runs(const RunFilter& filter, std::vector<HistoryRun>& runs) const;
    // The record the run stands for, as the window would have held it; null with a failure.
    StorageResult record(std::int64_t runId, std::unique_ptr<AssayData>& record) const;
    StorageResult setKind(std::int64_t runId, RunKind kind) const;
    // The control chart's table as `nivra-cli qa` prints it, the first 20 runs as reference,
    // and, when asked for, the chart itself to draw (none when there is no chart).
    StorageResult chartText(int counter, RunKind kind, std::string& text,
                            std::optional<ControlChart>* chart = nullptr) const;

private:
    StorageResult open(HistoryDatabase& db) const;

    const HistoryLocation where_;
};

} // namespace nivra
