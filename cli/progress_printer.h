#pragma once

#include "engine/run_observer.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

namespace nivra {
class AssayData;
} // namespace nivra

namespace nivra::cli {

// Prints what one run of nivra-cli run reports, on the run's own thread: one line when it starts,
// one per second and one per closed point, and lets the command wait for the end. What happens
// to the backup and the counter's faults goes to standard error.
//
// A process with several runs tags each line with its counter: standard output lines carry
// "counter=N" after their first word ("point counter=2 1 57"), standard error lines begin
// "nivra-cli run: counter N: ". A process with one run prints its lines untagged, as they always
// were (the start and fault lines name their counter either way).
class ProgressPrinter final : public RunObserver {
public:
    // backupFile: the run's backup file, as the backup lines name it.
    ProgressPrinter(const AssayData& data, int counter, bool tagged, std::string backupFile);

    void runStarted(int counter) override;
    void secondCounted(int counter, std::int64_t lastSecond, std::int64_t dwellSoFar) override;
    void backupKept(int counter, const std::string& keptPath) override;
    void backupSaved(int counter, bool ok, const std::string& reason) override;
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override;
    void pointClosed(int counter, int number, std::int32_t count) override;
    void finished(int counter, EndReason reason) override;

    // One line on standard output: word (tagged with the counter when lines are) and the rest.
    void output(const std::string& word, const std::string& rest) const;
    // One line on standard error: "nivra-cli run: ", the tag, message.
    void error(const std::string& message) const;

    // Where the points are when the data file could not be saved.
    std::string backupHint() const;
    // Whether the counter did not answer for a while, garbled its replies or counted above its
    // limit during the run.
    bool counterFaulted() const { return counterFaulted_; }

    bool waitForFinished(std::chrono::milliseconds timeout);

private:
    const AssayData& data_;
    const int counter_;
    const std::string backupFile_;
    const bool tagged_;
    // Written on the run's thread, read after its end.
    bool backupSaved_ = false;
    bool lastBackupOk_ = false;
    std::string lastBackupReason_;
    std::size_t backupPoints_ = 0;
    bool counterFaulted_ = false;
    std::mutex mutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
};

} // namespace nivra::cli
