// The slot model applies every run report and every edit before it announces it, so a listener
// connected before all others (here: first of all) already reads the slot as it now is.

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "ui/main_window/run_events.h"
#include "ui/main_window/slot_model.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace nivra;
using namespace nivra::ui;

namespace {

// What a listener of slotChanged read from slot 2 when it was told.
struct Seen {
    CounterState state;
    std::optional<std::int64_t> lastSecond;
    std::optional<std::int64_t> dwell;
    bool silent;
    bool backupFailed;
    std::optional<EndReason> ended;
    bool operator==(const Seen&) const = default;
};

std::unique_ptr<AssayData> recordOf(std::initializer_list<std::int32_t> counts) {
    auto record = std::make_unique<AssayData>(CounterConfig::defaults(), AssayConfig(), 0);
    for (std::int32_t count : counts)
        record->appendPoint(count);
    return record;
}

TEST(SlotModel, RunReportsAreAppliedBeforeAnyListenerHearsOfThem) {
    SlotModel model;
    std::vector<Seen> seen;
    QObject::connect(&model, &SlotModel::slotChanged, [&](int slot) {
        const RunReportState& r = model.slot(slot).reports;
        seen.push_back({model.slot(slot).state, r.lastSecond, r.dwellSoFar,
                        r.silentSince.has_value(), r.backupFailed(), r.ended});
    });
    int backupMessages = 0, silentMessages = 0;
    QObject::connect(&model, &SlotModel::backupFailed, [&] { ++backupMessages; });
    QObject::connect(&model, &SlotModel::counterSilent, [&] { ++silentMessages; });

    // A run plays its reports as a run thread would, and the window's thread takes them.
    RunObserver& run = model.reports();
    run.runStarted(2);
    run.secondCounted(2, 4, 4);
    run.backupSaved(2, false, "disk full");
    run.backupSaved(2, false, "disk full");
    run.counterFault(2, CounterFault::NotAnswering, 100, 100);
    run.pointClosed(2, 1, 9);
    run.backupSaved(2, true, "");
    run.finished(2, EndReason::Stopped);
    run.secondCounted(7, 1, 1); // a slot that does not exist changes nothing
    QCoreApplication::processEvents();

    const std::vector<Seen> expected{
        {DEMO, {}, {}, false, false, {}}, // started: the last run's reports are gone
        {DEMO, 4, 4, false, false, {}},   // a second
        {DEMO, 4, 4, false, true, {}},    // backup failed
        {DEMO, 4, 4, false, true, {}},    // and again
        {DEMO, 4, 4, true, true, {}},     // counter silent
        {DEMO, 4, 0, true, true, {}},     // a point closed: the dwell starts again
        {DEMO, 4, 0, true, false, {}},    // backup works again
        {STOPPED, 4, 0, false, false, EndReason::Stopped}, // the stretch ended with the run
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(backupMessages, 1) << "told once per stretch of failures";
    EXPECT_EQ(silentMessages, 1);
}

TEST(SlotModel, EditsChangeTheRecordAndItsSavedFlagOnlyWhenTheyHappen) {
    SlotModel model;
    std::vector<int> deleted;
    int changes = 0;
    QObject::connect(&model, &SlotModel::pointDeleted,
                     [&](int, int number) { deleted.push_back(number); });
    QObject::connect(&model, &SlotModel::slotChanged, [&] { ++changes; });

    model.select(3);
    model.fillViewer(recordOf({5, 6, 7}), "/data/a.dax");
    EXPECT_TRUE(model.isActive(kViewerSlot)) << "a record for the viewer shows it";
    EXPECT_TRUE(model.viewer().saved);

    changes = 0;
    EXPECT_FALSE(model.deletePoint(kViewerSlot, 0));
    EXPECT_FALSE(model.deletePoint(kViewerSlot, 4));
    EXPECT_FALSE(model.removeHeaderLine(kViewerSlot, 99));
    EXPECT_EQ(changes, 0) << "a refused edit announces nothing";
    EXPECT_TRUE(model.viewer().saved);

    ASSERT_TRUE(model.deletePoint(kViewerSlot, 2));
    EXPECT_EQ(model.viewer().data->counts(), (std::vector<std::int32_t>{5, 7}));
    EXPECT_EQ(deleted, std::vector<int>{2});
    EXPECT_FALSE(model.viewer().saved);
    model.markSaved(kViewerSlot, "/data/b.dax");
    EXPECT_TRUE(model.viewer().saved);
    EXPECT_EQ(model.viewer().fileName, "/data/b.dax");
    model.setClassLimit(kViewerSlot, 0.002);
    EXPECT_FALSE(model.viewer().saved);

    // File New on a counter: no record, no file, ready for a run; the viewer stays a viewer.
    model.clearForNewRun(1);
    EXPECT_EQ(model.slot(1).state, NEW);
    EXPECT_EQ(model.slot(1).data, nullptr);
    EXPECT_EQ(model.viewer().state, VIEWER);
}

} // namespace
