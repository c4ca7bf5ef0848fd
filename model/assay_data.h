#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace nivra {

enum class Statistic : std::size_t;
struct StatisticsInputs;

// The record of one assay: copies of the counter and assay configurations it was run with, a
// list of descriptive header lines, the count of every completed dwell (one point per dwell, in
// time order), the planned end time and the fraction of the run done.
//
// The time the counts are taken to cover is the assay configuration's total time, not the number
// of points times the dwell: deletePoint shortens it by one dwell and extractRange sets it to
// exactly (its points) × dwell.
//
// Sharing: during a run the record is written by the run's worker thread (points, header lines,
// progress, end time, backup saves) while the window thread reads it and may delete points or
// edit header lines. Every operation takes the record's own lock, so each call sees and leaves a
// consistent record. A reader that needs several values that belong together takes one copy of
// the record (the copy constructor, or counts()/headerLines()) instead of several calls. The
// statistics and the file formats (model/data_file.h, model/csv_export.h) each work on one
// consistent state.
//
// Point numbers shown to the operator are 1-based; indexes into the counts are 0-based.
class AssayData {
public:
    // A record for a new run: copies of both configurations, the counter number, no header
    // lines, no points, end time 0 and progress 0.
    AssayData(CounterConfig counterConfig, AssayConfig assayConfig, int counterNumber);

    // Everything a record holds, as one value: what a reader that needs several fields at once
    // takes (one lock), and what the file formats write and read.
    struct Snapshot {
        double progress = 0.0;
        CounterConfig counterConfig = CounterConfig::defaults();
        AssayConfig assayConfig = AssayConfig::defaults();
        int counterNumber = -1;
        std::vector<std::string> headerLines;
        std::int64_t endTime = 0;
        std::vector<std::int32_t> counts;
    };

    // A record holding exactly the snapshot's fields (a data file read from disk, say).
    explicit AssayData(Snapshot fields);

    // Copies take one consistent state of the source (under its lock).
    AssayData(const AssayData& other);
    AssayData& operator=(const AssayData& other);
    ~AssayData();

    // --- Points ---------------------------------------------------------------------------

    // Adds one point at the end. The total time is left as configured.
    void appendPoint(std::int32_t count);

    // Removes the point at the 0-based index and shortens the total time by one dwell; the total
    // stops at zero rather than going below it. An index outside 0..N-1 changes nothing and
    // returns false.
    bool deletePoint(int index);

    // A new record holding points first..last (1-based, both inclusive) with copies of both
    // configurations, counter number -1, no header lines, end time 0, progress 0, and a total
    // time of exactly (its number of points) × dwell. Bounds outside the record are clamped to
    // 1..N, so the extract holds the points that exist in the range; last < first (after
    // clamping) gives a record without points and a total time of 0.
    std::unique_ptr<AssayData> extractRange(int first, int last) const;

    std::size_t pointCount() const;
    // The count at the 0-based index, or nothing when the index is out of range.
    std::optional<std::int32_t> count(std::size_t index) const;
    // A copy of all counts.
    std::vector<std::int32_t> counts() const;
    // A copy of points first..last (1-based, inclusive), clamped to 1..N like extractRange.
    std::vector<std::int32_t> counts(int first, int last) const;

    // --- Header lines ---------------------------------------------------------------------

    void appendHeaderLine(std::string line);
    // Inserts before the 0-based index; index == count appends. Returns false (and changes
    // nothing) when the index is beyond the end.
    bool insertHeaderLine(std::size_t index, std::string line);
    // Removes the line at the 0-based index. Returns false when there is no such line.
    bool removeHeaderLine(std::size_t index);
    std::vector<std::string> headerLines() const;
    std::size_t headerLineCount() const;

    // --- Run state and configurations -----------------------------------------------------

    // Fraction of the run's total time covered by the completed dwells (set by the run).
    double progress() const;
    void setProgress(double progress);
    // Planned end of the run, seconds since 1970-01-01 UTC; 0 until a run sets it.
    std::int64_t endTime() const;
    void setEndTime(std::int64_t endTime);
    // The counter whose run produced the record; -1 for a file record and a range extract.
    int counterNumber() const;
    CounterConfig counterConfig() const;
    AssayConfig assayConfig() const;
    // The class limit the sample is judged against (its assay configuration's CLASS LIMIT,
    // saved with the record); empty or 0 for none.
    void setClassLimit(std::optional<double> limit);

    // One consistent copy of every field.
    Snapshot snapshot() const;

    // --- Statistics (recomputed on every call, each from one consistent state) --------------

    double sumCounts() const;
    double standardDeviation() const;
    double netRateError() const;
    double limitOfDetection(double k) const;
    // The assay configuration's background counts: the statistics from the net rate on are
    // produced only when they are greater than 0.
    double backgroundCounts() const;

    std::string numPointsText() const;
    std::string totalCountsText() const;
    std::string timeText() const;
    std::string meanText() const;
    std::string stdDevText() const;
    std::string cphText() const;
    std::string netRateText() const;
    std::string netRateErrorText() const;
    std::string lldText() const;
    std::string detEffText() const;
    std::string netCorrText() const;
    std::string netCorrErrorText() const;
    std::string cdl95Text() const;
    std::string lodText(double k) const;
    // The text of any one statistic.
    std::string statisticText(nivra::Statistic statistic) const;

    // Everything the statistics need, gathered in one pass under the lock without copying the
    // points. The standard deviation (a second pass) only when asked for.
    nivra::StatisticsInputs statisticsInputs(bool withDeviation = true) const;

private:
    mutable std::mutex mutex_;
    Snapshot fields_;
};

} // namespace nivra
