#include "engine/acquisition_worker.h"
#include "model/data_file.h"

#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/backup_file.h"
#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "engine/run_environment.h"
#include "engine/run_observer.h"
#include "model/assay_data.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace nivra {

namespace {

constexpr int kPassMilliseconds = 250;
// A reading above this makes the worker reset the count register. The one-byte register can
// then still take 255 - 60 counts until the next reading: from about 195 counts a second on it
// wraps between two readings, and counts are lost (the run records a wrap line).
constexpr std::int32_t kResetAbove = 60;
// At most one wrap line a minute: a register that keeps going back must not flood the record.
constexpr std::int64_t kWrapLineSpacing = 60;

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
    const std::string backupPath = backupDataPath(counter);
    BackupHandover handover;
    if (environment.backups)
        handover = handOverBackup(counter);
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

    std::int32_t reading = 0;
    std::int32_t previousReading = 0;
    std::int32_t delta = 0;
    std::int64_t dwellSum = 0;
    int points = 0;
    bool finished = false;

    std::int64_t now = clock.now();
    std::int64_t lastSecond = now;
    std::int64_t nextDwellEnd = now + dwellSpan;
    const std::int64_t endTime = now + totalSpan;
    data.setEndTime(endTime);

    // The counter's faults: the current stretch without an answer, a device to reopen, the time
    // of the last wrap line, and whether the register holds a known base to count from.
    // The stretch without an answer going on, if any: its first and last second.
    bool silent = false;
    std::int64_t silentFirst = 0;
    std::int64_t silentLast = 0;
    bool deviceGone = false;
    std::optional<std::int64_t> lastWrapLine;
    const auto noteWrap = [&](std::int64_t second) {
        if (lastWrapLine && second - *lastWrapLine < kWrapLineSpacing)
            return;
        lastWrapLine = second;
        data.appendHeaderLine("Counter register wrapped or reset at " + formatLocalTime(second));
        observer.counterFault(counter, CounterFault::WrappedOrReset, second, second);
    };
    // Resets the register; returns the reading to count the next second from. A reset that was
    // not confirmed leaves the register as it was (counting on from it stays right); one answered
    // with a wrong status may or may not have happened, so counts may be lost there.
    const auto resetRegister = [&](std::int32_t current, std::int64_t second) {
        const CommandOutcome outcome = counters.resetCount(counter);
        if (outcome == CommandOutcome::kDeviceGone)
            deviceGone = true;
        else if (outcome == CommandOutcome::kWrongReply)
            noteWrap(second);
        return outcome == CommandOutcome::kAnswered ? 0 : current;
    };

    // Without a confirmed reset the first answer is the base that counting starts from.
    const CommandOutcome startReset = counters.resetCount(counter);
    bool haveBase = startReset == CommandOutcome::kAnswered;
    deviceGone = startReset == CommandOutcome::kDeviceGone;
    appendStartLines(data, now);
    observer.runStarted(counter);

    while (!stop.stop_requested() && !finished) {
        now = clock.now();
        if (now != lastSecond) {
            lastSecond = now;
            // A device that went away is looked for again once a second, by its configured name.
            if (deviceGone && counters.reopen(counter))
                deviceGone = false;
            const CommandOutcome read = counters.readCount(counter, reading);
            delta = 0;
            if (read != CommandOutcome::kAnswered) {
                // Nothing is counted for an unanswered second; the stretch is told when it ends.
                if (read == CommandOutcome::kDeviceGone)
                    deviceGone = true;
                if (!silent) {
                    silent = true;
                    silentFirst = now;
                    observer.counterFault(counter, CounterFault::NotAnswering, now, now);
                }
                silentLast = now;
            } else {
                if (silent) {
                    data.appendHeaderLine(notAnsweringLine(silentFirst, silentLast));
                    observer.counterFault(counter, CounterFault::AnsweringAgain, silentFirst,
                                          silentLast);
                    silent = false;
                    // What the register did meanwhile is unknown (it may have wrapped, or the
                    // counter restarted): this answer is the new base.
                    haveBase = false;
                }
                if (!haveBase) {
                    haveBase = true;
                } else {
                    delta = reading - previousReading;
                    if (delta < 0) {
                        // The register went back (wrapped, or reset by someone else): nothing
                        // is counted for this second and the differences start again from 0.
                        delta = 0;
                        reading = 0;
                        noteWrap(now);
                    }
                }
                if (reading > kResetAbove)
                    reading = resetRegister(reading, now);
                previousReading = reading;
            }
            dwellSum += delta;
            observer.secondCounted(counter, delta, dwellSum);
        }
        if (now > nextDwellEnd) {
            const std::int32_t point = pointCount(dwellSum);
            data.appendPoint(point);
            ++points;
            nextDwellEnd += dwellSpan;
            dwellSum = 0;
            if (nextDwellEnd > endTime)
                finished = true;
            elapsedHours += dwellHours;
            data.setProgress(totalSpan == 0 ? 1.0 : elapsedHours / totalHours);
            saveBackup();
            observer.pointClosed(counter, points, point);
        }
        clock.sleepMilliseconds(kPassMilliseconds);
    }

    if (silent)
        data.appendHeaderLine(notAnsweringLine(silentFirst, silentLast));
    now = clock.now();
    data.appendHeaderLine((finished ? "End Time: " : "STOP TIME: ") + formatLocalTime(now));
    // With its end line the backup reads as a finished run, which the next run may replace.
    saveBackup();
    observer.finished(counter, finished ? EndReason::Time : EndReason::Stopped);
}

} // namespace nivra
