#pragma once

#include "engine/run_observer.h"
#include "ui/controls/narrow_text.h"

#include <QObject>
#include <QString>
#include <cstdint>

Q_DECLARE_METATYPE(nivra::EndReason)
Q_DECLARE_METATYPE(nivra::CounterFault)

namespace nivra::ui {

// A run's reports as Qt signals. The run calls the observer on its own thread; each call is
// emitted at once as a signal, which a receiver on another thread connects to with a queued
// connection, so the run never waits for the window and the window handles every report on its
// own thread, in the order the run made them.
class RunEvents final : public QObject, public RunObserver {
    Q_OBJECT
public:
    explicit RunEvents(QObject* parent = nullptr) : QObject(parent) {
        qRegisterMetaType<nivra::EndReason>();
        qRegisterMetaType<nivra::CounterFault>();
    }

    void backupKept(int counter, const std::string& keptPath) override {
        emit backupKeptReported(counter, nivra::ui::fromNarrow(keptPath));
    }
    void backupSaved(int counter, bool ok, const std::string& reason) override {
        emit backupSaveReported(counter, ok, nivra::ui::fromNarrow(reason));
    }
    void runStarted(int counter) override { emit started(counter); }
    void secondCounted(int counter, std::int64_t lastSecond, std::int64_t dwellSoFar) override {
        emit secondReported(counter, lastSecond, dwellSoFar);
    }
    void pointClosed(int counter, int number, std::int32_t count) override {
        emit pointReported(counter, number, count);
    }
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override {
        emit counterFaultReported(counter, fault, first, last);
    }
    void finished(int counter, EndReason reason) override { emit ended(counter, reason); }

signals:
    void backupKeptReported(int counter, const QString& keptPath);
    void backupSaveReported(int counter, bool ok, const QString& reason);
    void started(int counter);
    void secondReported(int counter, qint64 lastSecond, qint64 dwellSoFar);
    void pointReported(int counter, int number, int count);
    void counterFaultReported(int counter, nivra::CounterFault fault, qint64 first, qint64 last);
    void ended(int counter, nivra::EndReason reason);
    // A write of the run's history reached it (emitted on the history writer's thread).
    void historyWritten(int counter);
};

} // namespace nivra::ui
