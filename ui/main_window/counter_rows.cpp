#include "ui/main_window/counter_rows.h"

#include "base/value_encoding.h"
#include "engine/time_left.h"
#include "model/class_decision.h"
#include "ui/main_window/live_texts.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace nivra::ui {

namespace {

constexpr const char* kUnknown = "-";

std::string countText(const std::optional<std::int64_t>& counts) {
    return counts ? std::to_string(*counts) : std::string(kUnknown);
}

// How a run ended, in a word: "finished" (by time), "decided" (its class verdict was reached)
// or "stopped".
const char* endWord(nivra::EndReason reason) {
    switch (reason) {
    case nivra::EndReason::Time:
        return "finished";
    case nivra::EndReason::Decided:
        return "decided";
    case nivra::EndReason::Stopped:
        break;
    }
    return "stopped";
}

bool hasRun(CounterState state) {
    return state == RUNNING || state == STOPPED;
}

} // namespace

std::int64_t plannedPoints(std::int64_t dwellSeconds, std::int64_t totalSeconds) {
    if (dwellSeconds <= 0)
        return 0;
    return std::max<std::int64_t>(1, totalSeconds / dwellSeconds);
}

std::string pointsText(std::size_t points, std::int64_t planned) {
    std::string text = std::to_string(points);
    if (planned > 0)
        text += " of " + std::to_string(planned);
    return text;
}

std::string endLineTime(const std::vector<std::string>& headerLines) {
    for (auto line = headerLines.rbegin(); line != headerLines.rend(); ++line)
        for (std::string_view prefix : {"End Time: ", "STOP TIME: "})
            if (std::string_view(*line).substr(0, prefix.size()) == prefix)
                return line->substr(prefix.size());
    return {};
}

const std::string& ClassDecisionText::of(const AssayData::Snapshot& fields) {
    Key key{fields.counts, fields.assayConfig.entries(), fields.assayConfig.optionalEntries(),
            fields.counterConfig.entries()};
    if (key_ != key) {
        const std::optional<ClassDecision> decision =
            decideClassOfPoints(fields.counts, fields.assayConfig, fields.counterConfig);
        text_ = decision ? classDecisionSummary(*decision) : std::string(kUnknown);
        key_ = std::move(key);
    }
    return text_;
}

CounterRow counterRow(int slot, CounterState state, const AssayData* record,
                      const std::string& counterName, const RunReportState& reports,
                      std::int64_t now, ClassDecisionText& decision) {
    CounterRow row;
    const std::optional<AssayData::Snapshot> fields =
        record ? std::optional(record->snapshot()) : std::nullopt;

    if (slot == kViewerSlot) {
        row.counter = "Viewer";
    } else {
        const std::string name = fields ? fields->counterConfig.name : counterName;
        row.counter = name.empty() ? std::to_string(slot) : std::to_string(slot) + ": " + name;
    }
    const char* status = statusText(state);
    row.state = status ? status : kUnknown;
    if (state == RUNNING && reports.silentSince) {
        row.state = "NOT ANSWERING";
        row.stateToolTip =
            "Counter not answering since " + nivra::formatLocalTime(*reports.silentSince);
    } else if (state == RUNNING && reports.overLimitSince) {
        row.state = "OVER LIMIT";
        row.stateToolTip = "Count rate above the counter's limit since " +
                           nivra::formatLocalTime(*reports.overLimitSince);
    } else if (state == RUNNING && reports.garbledSince) {
        row.state = "GARBLED";
        row.stateToolTip =
            "Counter replies garbled since " + nivra::formatLocalTime(*reports.garbledSince);
    }
    row.assay = fields ? fields->assayConfig.name : std::string(kUnknown);

    const bool run = hasRun(state) && fields;
    if (fields) {
        const std::int64_t planned =
            run ? plannedPoints(fields->assayConfig.dwellSpan(), fields->assayConfig.totalSpan())
                : 0;
        row.points = pointsText(fields->counts.size(), planned);
        row.progress = progressPosition(fields->progress);
        row.counts = fields->counts;
        row.decision = decision.of(*fields);
    } else {
        row.points = kUnknown;
        row.decision = kUnknown;
    }

    // The live values belong to the slot's run; a slot cleared for the next run shows none.
    row.lastSecond = run ? countText(reports.lastSecond) : kUnknown;
    row.currentDwell = run ? countText(reports.dwellSoFar) : kUnknown;
    if (run && reports.backupSaved) {
        row.backup = *reports.backupSaved ? "saved" : "FAILED";
        row.backupToolTip = reports.backupFailure;
    } else {
        row.backup = kUnknown;
    }

    row.timeLeft = kUnknown;
    row.endTime = kUnknown;
    if (state == RUNNING && fields && fields->endTime != 0) {
        row.timeLeft = nivra::formatTimeLeft(fields->endTime, now);
        row.endTime = nivra::formatLocalTime(fields->endTime);
    } else if (fields) {
        // After a run (or for a saved file) the end is what the end line says.
        const std::string ended = endLineTime(fields->headerLines);
        if (!ended.empty())
            row.endTime = ended;
        if (state == STOPPED && reports.ended)
            row.timeLeft = endWord(*reports.ended);
    }
    return row;
}

std::vector<double> sparklineLevels(const std::vector<std::int32_t>& counts, std::size_t maxBars) {
    if (counts.empty() || maxBars == 0)
        return {};
    const std::size_t bars = std::min(counts.size(), maxBars);
    std::vector<double> levels(bars, 0.0);
    for (std::size_t bar = 0; bar < bars; ++bar) {
        const std::size_t first = bar * counts.size() / bars;
        const std::size_t last = (bar + 1) * counts.size() / bars;
        const std::int32_t highest =
            *std::max_element(counts.begin() + first, counts.begin() + last);
        levels[bar] = std::max(0, highest);
    }
    const double top = *std::max_element(levels.begin(), levels.end());
    if (top > 0.0)
        for (double& level : levels)
            level /= top;
    return levels;
}

std::string runEndMessage(int counter, nivra::EndReason reason, std::size_t points,
                          std::int64_t totalCounts) {
    return nivra::formatC("Counter %d: run %s, %zu points, %lld counts", counter, endWord(reason),
                          points, static_cast<long long>(totalCounts));
}

} // namespace nivra::ui
