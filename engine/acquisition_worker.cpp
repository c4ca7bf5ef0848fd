#include "engine/acquisition_worker.h"
#include "model/data_file.h"

#include "base/value_encoding.h"
#include "engine/backup_file.h"
#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "engine/run_environment.h"
#include "engine/run_observer.h"
#include "model/assay_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace nivra {

namespace {

// The register is read every pass. It holds one byte, so it must not take 256 counts between
// two readings: read 20 times a second it follows a few thousand counts a second (exact up to
// 2,000 with four counters on one line), and the differences of successive readings are taken
// modulo 256, so a wrap loses nothing.
constexpr std::int64_t kPassMilliseconds = 50;
// A difference above this (three quarters of the register), or as many counts expected from
// the rate measured just before, may hide a whole turn of the register: the reading is over the
// counter's limit.
constexpr std::int64_t kSafeDifference = 192;
// After such a reading the next one comes at once, to measure the rate over a span too short to
// wrap, for the estimate of the counts lost.
constexpr std::int64_t kFollowUpMilliseconds = 5;
// An over-limit or garbled stretch ends when no such reading came for this long.
constexpr std::int64_t kStretchQuietMilliseconds = 1000;

// A dwell's sum is kept in 64 bits; a point holds 32. A dwell long enough to overflow would
// otherwise wrap to a negative count.
std::int32_t pointCount(std::int64_t sum) {
    return sum > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(sum);
}

void appendStartLines(AssayData& data, std::int64_t now) {
    const CounterConfig counter = data.counterConfig();
    const AssayConfig assay = data.assayConfig();
    data.appendHeaderLine("Start Time: " + nivra::formatLocalTime(now));
    data.appendHeaderLine("Counter Desc: " + counter.description);
    data.appendHeaderLine(
        nivra::formatC("sample area: %d", static_cast<std::int32_t>(assay.sampleArea)));
    data.appendHeaderLine(
        nivra::formatC("detector area: %d", static_cast<std::int32_t>(counter.detectorArea)));
    // The numbers are rounded as the Windows version's header lines round them (exact ties away
    // from zero), so that old and new reports of the same set-up read the same.
    data.appendHeaderLine(
        "detector eff: " + nivra::formatFixed(counter.detectorEfficiency * 100.0, 2) + "%");
    data.appendHeaderLine("background_rate: " + nivra::formatFixed(assay.backgroundRate, 3));
    data.appendHeaderLine("background_hours: " + nivra::formatFixed(assay.backgroundHours, 3));
}

std::string notAnsweringLine(std::int64_t first, std::int64_t last) {
    return "Counter not answering: " + nivra::formatLocalTime(first) + " to " +
           nivra::formatLocalTime(last) + " (" + std::to_string(last - first + 1) + " s)";
}

std::string overLimitLine(std::int64_t first, std::int64_t last, std::int64_t lost) {
    return "Count rate above the counter's limit: " + nivra::formatLocalTime(first) + " to " +
           nivra::formatLocalTime(last) + ", about " + std::to_string(lost) + " counts lost";
}

std::string garbledLine(std::int64_t first, std::int64_t last, std::int64_t replies) {
    return "Counter replies garbled: " + nivra::formatLocalTime(first) + " to " +
           nivra::formatLocalTime(last) + " (" + std::to_string(replies) + " replies)";
}

// A stretch of readings with one kind of fault: its first and last second, when its last
// reading came, and a tally (replies, or counts lost).
struct FaultStretch {
    bool open = false;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t lastMilliseconds = 0;
    std::int64_t tally = 0;

    // Notes one reading with the fault; true when it begins a stretch.
    bool note(std::int64_t milliseconds) {
        const bool begins = !open;
        if (begins) {
            open = true;
            first = milliseconds / 1000;
            tally = 0;
        }
        last = milliseconds / 1000;
        lastMilliseconds = milliseconds;
        return begins;
    }
    bool quietSince(std::int64_t milliseconds) const {
        return open && milliseconds - lastMilliseconds >= kStretchQuietMilliseconds;
    }
};

// The lost counts of an interval whose difference may hide whole turns of the register: the
// turns that make the difference closest to what the rate predicts.
std::int64_t turnsLost(double countsPerMillisecond, std::int64_t milliseconds,
                       std::int64_t difference) {
    const double expected = countsPerMillisecond * static_cast<double>(milliseconds);
    const auto turns = static_cast<std::int64_t>(
        std::llround((expected - static_cast<double>(difference)) / 256.0));
    return turns > 0 ? turns * 256 : 0;
}

} // namespace

} // namespace nivra
  // namespace

namespace nivra {

void runAcquisition(AssayData& data, RunObserver& observer, const RunEnvironment& environment,
                    std::stop_token stop) {
    RunClock& clock = environment.runClock();
    CounterAccess& counters = environment.counterAccess();
    const int counter = data.counterNumber();

    // The backup of a finished run goes before the first point; that of an interrupted run is
    // kept under a name of its own. One that could not be kept is never written over: this run
    // then saves no backup and says so at every point.
    const std::string backupPath =
        environment.backups ? environment.backups->backupData(counter) : std::string();
    BackupHandover handover;
    if (environment.backups)
        handover = handOverBackup(*environment.backups, counter);
    if (!handover.keptPath.empty())
        observer.backupKept(counter, handover.keptPath);
    const auto saveBackup = [&] {
        if (!environment.backups)
            return;
        std::string reason;
        if (!handover.problem.empty())
            reason =
                "it holds an interrupted run that could not be kept (" + handover.problem + ")";
        const bool ok = reason.empty() && saveDataFile(data, backupPath, reason);
        observer.backupSaved(counter, ok, reason); // a failed backup must not disturb the run
    };
    data.setProgress(0.0);

    const AssayConfig assay = data.assayConfig();
    const std::int64_t dwellSpan = assay.dwellSpan();
    const std::int64_t totalSpan = assay.totalSpan();
    const double dwellHours = static_cast<double>(dwellSpan) / 3600.0;
    const double totalHours = static_cast<double>(totalSpan) / 3600.0;
    double elapsedHours = 0.0;

    std::int64_t dwellSum = 0;
    std::int64_t secondSum = 0;
    int points = 0;
    bool finished = false;
    // The end check's line, when it ended the run.
    std::string closingLine;

    // The counter's faults: the current stretch without an answer, a device to reopen, and the
    // stretches of garbled replies and of readings over the counter's limit.
    bool silent = false;
    std::int64_t silentFirst = 0;
    std::int64_t silentLast = 0;
    bool deviceGone = false;
    std::int64_t lastReopenSecond = 0;
    FaultStretch garbled;
    FaultStretch overLimit;
    // Over-limit intervals waiting for a measured rate: their length and difference.
    std::vector<std::pair<std::int64_t, std::int64_t>> unresolved;

    // Counting starts at the reset: its confirmed answer is the base 0. Without one the first
    // answer is the base that counting starts from.
    const CommandOutcome startReset = counters.resetCount(counter);
    bool haveBase = startReset == CommandOutcome::kAnswered;
    deviceGone = startReset == CommandOutcome::kDeviceGone;
    std::int32_t previousReading = 0;
    const std::int64_t startMs = clock.nowMilliseconds();
    std::int64_t previousReadMs = startMs;
    // The rate of the last interval that could not hide a wrap, counts per millisecond.
    std::optional<double> rate;

    // Every point spans exactly one dwell from the reset on; the run ends when the next dwell
    // would end after the planned end.
    const std::int64_t now = startMs / 1000;
    std::int64_t nextDwellEndMs = startMs + dwellSpan * 1000;
    const std::int64_t endMs = startMs + totalSpan * 1000;
    data.setEndTime(endMs / 1000);
    std::int64_t runSecond = 0;
    appendStartLines(data, now);
    observer.runStarted(counter);

    const auto closeGarbled = [&] {
        data.appendHeaderLine(garbledLine(garbled.first, garbled.last, garbled.tally));
        garbled.open = false;
        observer.counterFault(counter, CounterFault::GarbledEnded, garbled.first, garbled.last);
    };
    const auto closeOverLimit = [&] {
        // Intervals no follow-up reading measured are estimated from the last known rate;
        // without one, each counts one turn of the register.
        for (const auto& [milliseconds, difference] : unresolved)
            overLimit.tally += rate ? turnsLost(*rate, milliseconds, difference) : 256;
        unresolved.clear();
        data.appendHeaderLine(overLimitLine(overLimit.first, overLimit.last, overLimit.tally));
        overLimit.open = false;
        observer.counterFault(counter, CounterFault::OverLimitEnded, overLimit.first,
                              overLimit.last);
    };

    // Takes one reading; returns whether the next should follow at once.
    const auto takeReading = [&]() -> bool {
        const std::int64_t second = clock.nowMilliseconds() / 1000;
        // A device that went away is looked for again once a second, by its configured name.
        if (deviceGone && second != lastReopenSecond) {
            lastReopenSecond = second;
            if (counters.reopen(counter)) {
                deviceGone = false;
                // The counter may have restarted meanwhile: its next answer is a new base.
                haveBase = false;
            }
        }
        std::int32_t reading = previousReading;
        const CommandOutcome read = counters.readCount(counter, reading);
        const std::int64_t readMs = clock.nowMilliseconds();
        if (read == CommandOutcome::kGarbled) {
            // Not an answer: the counts arrive with the next good reading.
            if (garbled.note(readMs))
                observer.counterFault(counter, CounterFault::Garbled, garbled.first, garbled.first);
            ++garbled.tally;
            return false;
        }
        if (read != CommandOutcome::kAnswered) {
            // Nothing is counted for an unanswered reading; the stretch is told when it ends.
            if (read == CommandOutcome::kDeviceGone && !deviceGone) {
                deviceGone = true;
                lastReopenSecond = readMs / 1000; // the first try comes in the next second
            }
            if (!silent) {
                silent = true;
                silentFirst = readMs / 1000;
                observer.counterFault(counter, CounterFault::NotAnswering, silentFirst,
                                      silentFirst);
            }
            silentLast = readMs / 1000;
            return false;
        }
        if (silent) {
            data.appendHeaderLine(notAnsweringLine(silentFirst, silentLast));
            observer.counterFault(counter, CounterFault::AnsweringAgain, silentFirst, silentLast);
            silent = false;
            // The counts of the silence arrive with this answer, unless the register may have
            // turned meanwhile: then they are lost, as the stretch's header line says, and this
            // answer is the new base.
            if (rate && *rate * static_cast<double>(readMs - previousReadMs) > kSafeDifference)
                haveBase = false;
        }
        const std::int64_t interval = readMs - previousReadMs;
        previousReadMs = readMs;
        if (!haveBase) {
            haveBase = true;
            previousReading = reading;
            return false;
        }
        // Modulo 256: a register that wrapped since the last reading still gives its counts.
        const std::int64_t difference = (reading - previousReading) & 0xFF;
        previousReading = reading;
        dwellSum += difference;
        secondSum += difference;
        const bool ambiguous = difference > kSafeDifference ||
                               (rate && *rate * static_cast<double>(interval) > kSafeDifference);
        if (ambiguous) {
            if (overLimit.note(readMs))
                observer.counterFault(counter, CounterFault::OverLimit, overLimit.first,
                                      overLimit.first);
            unresolved.emplace_back(interval, difference);
            return true;
        }
        if (interval > 0) {
            const double measured = static_cast<double>(difference) / static_cast<double>(interval);
            // The rate that judges the next readings comes from a full reading interval (over a
            // few milliseconds the clock's resolution alone could double it), or from the quick
            // reading after one over the limit, which is there to measure it.
            if (interval >= kPassMilliseconds / 2 || !unresolved.empty())
                rate = measured;
            for (const auto& [milliseconds, lostDifference] : unresolved)
                overLimit.tally += turnsLost(measured, milliseconds, lostDifference);
            unresolved.clear();
        }
        return false;
    };

    while (!stop.stop_requested() && !finished) {
        const std::int64_t passMs = clock.nowMilliseconds();
        const bool followUp = takeReading();

        if (garbled.quietSince(passMs))
            closeGarbled();
        if (overLimit.quietSince(passMs) && unresolved.empty())
            closeOverLimit();

        // The seconds are counted from the reset, so that a dwell ends with one of them.
        const std::int64_t passSecond = (passMs - startMs) / 1000;
        if (passSecond != runSecond) {
            runSecond = passSecond;
            observer.secondCounted(counter, secondSum, dwellSum);
            secondSum = 0;
        }
        if (passMs >= nextDwellEndMs) {
            const std::int32_t point = pointCount(dwellSum);
            data.appendPoint(point);
            ++points;
            nextDwellEndMs += dwellSpan * 1000;
            dwellSum = 0;
            if (nextDwellEndMs > endMs)
                finished = true;
            elapsedHours += dwellHours;
            data.setProgress(totalSpan == 0 ? 1.0 : elapsedHours / totalHours);
            saveBackup();
            observer.pointClosed(counter, points, point);
            if (!finished && environment.endCheck) {
                closingLine = environment.endCheck(data, clock.nowMilliseconds() / 1000);
                if (!closingLine.empty())
                    break;
            }
        }
        if (finished)
            break;
        // The next pass comes after the reading interval, or at the next second of the run
        // (where a dwell may end), whichever is first.
        const std::int64_t nextSecondMs = startMs + (runSecond + 1) * 1000;
        const std::int64_t wakeMs =
            std::min(passMs + (followUp ? kFollowUpMilliseconds : kPassMilliseconds),
                     std::max(nextSecondMs, passMs + 1));
        const std::int64_t sleepMs = wakeMs - clock.nowMilliseconds();
        if (sleepMs > 0)
            clock.sleepMilliseconds(static_cast<int>(sleepMs));
    }

    if (silent)
        data.appendHeaderLine(notAnsweringLine(silentFirst, silentLast));
    if (garbled.open)
        closeGarbled();
    if (overLimit.open)
        closeOverLimit();
    data.appendHeaderLine((finished ? "End Time: " : "STOP TIME: ") +
                          formatLocalTime(clock.nowMilliseconds() / 1000));
    if (!closingLine.empty())
        data.appendHeaderLine(closingLine);
    // With its end line the backup reads as a finished run, which the next run may replace.
    saveBackup();
    observer.finished(counter, finished              ? EndReason::Time
                               : closingLine.empty() ? EndReason::Stopped
                                                     : EndReason::Decided);
}

} // namespace nivra
