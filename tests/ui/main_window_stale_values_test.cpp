// Nothing on the screen outlives what it belongs to: the counts of another slot's run, the time
// left of a stopped run, the progress and region of a record cleared with File New; and the
// lists show whole entries, however many points and digits.

#include "main_window_fixture.h"
#include "ui/main_window/live_texts.h"

#include <QFontMetrics>
#include <QScrollBar>

using nivra::ui::kViewerSlot;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class StaleValuesTest : public MainWindowTest {};

TEST_F(StaleValuesTest, ASwitchOrAStopLeavesNoCountsOrTimesOfAnotherRun) {
    open();
    counters_.setRate(1, 3);
    clock_.pauseAt(clock_.startSeconds() + 15);
    startRun(1, writeAssay("minute", 10, 60));
    ASSERT_TRUE(clock_.waitUntilPaused());
    // One point of seconds 1 to 10, and seconds 11 to 14 in the current dwell.
    ASSERT_TRUE(pumpUntil([&] { return text(&Ui::countsDwell) == "Counts Curr Dwell: 12"; }));
    EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 3");

    for (nivra::res::MenuCommand command : {res::Command::Viewer, res::Command::Counter2}) {
        choose(command);
        EXPECT_EQ(text(&Ui::countsLastSecond), "Counts Last Sec: 0") << command;
        EXPECT_EQ(text(&Ui::countsDwell), "Counts Cur Dwell: 0") << command;
        EXPECT_EQ(text(&Ui::endTime), "End Time: ") << command;
        EXPECT_EQ(text(&Ui::timeLeft), "Time Left:") << command;
    }

    choose(res::Command::Counter1);
    prompts_.reply(ui::Answer::Yes);
    choose(res::Command::RunStop);
    clock_.resume();
    ASSERT_TRUE(pumpUntilStopped(1));
    const std::string endTime = ui::endTimeText(window_->slot(1).data->endTime());
    EXPECT_EQ(text(&Ui::endTime).toStdString(), endTime);
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left:") << "nothing left to count down";

    // Back on the stopped counter: its planned end again, still no time left.
    choose(res::Command::Viewer);
    choose(res::Command::Counter1);
    EXPECT_EQ(text(&Ui::endTime).toStdString(), endTime);
    EXPECT_EQ(text(&Ui::timeLeft), "Time Left:");
    EXPECT_GT(progress(), 0);

    // File New clears the record's progress and region with it, also when the operator had
    // typed into the ROI edits.
    window_->ui().roiMax->setText("77");
    prompts_.reply(ui::Answer::No);
    choose(res::Command::FileNew);
    EXPECT_EQ(window_->slot(1).state, ui::NEW);
    EXPECT_EQ(progress(), 0);
    EXPECT_EQ(chartRows(), 0);
    EXPECT_EQ(text(&Ui::roiMin), "1");
    EXPECT_EQ(text(&Ui::roiMax), "1");
}

TEST_F(StaleValuesTest, DumpAndHeaderListsShowEveryEntryWhole) {
    open();
    std::vector<std::int32_t> counts;
    for (int k = 0; k < 14; ++k)
        counts.push_back(10000 +
                         7919 * k); // five digits, from the tenth point on two-digit numbers
    const std::string longLine(120, 'w');
    openInViewer(writeDataFile("wide", counts, {longLine}));
    window_->show();
    window_->ui().dataDumpButton->click();
    window_->ui().roiDumpButton->click();
    QCoreApplication::processEvents();

    for (QListWidget* list :
         {window_->ui().dataDump, window_->ui().roiDump, window_->ui().headerList}) {
        ASSERT_GT(list->count(), 0);
        const QFontMetrics metrics(list->font());
        for (int row = 0; row < list->count(); ++row) {
            const QListWidgetItem* item = list->item(row);
            const int needed = metrics.horizontalAdvance(item->text());
            // Each entry is laid out as wide as its text and the list scrolls far enough to it.
            EXPECT_GE(list->visualItemRect(item).width(), needed) << item->text().toStdString();
            EXPECT_GE(list->viewport()->width() + list->horizontalScrollBar()->maximum(), needed)
                << item->text().toStdString();
        }
    }
    EXPECT_EQ(items(&Ui::dataDump).at(9), "10:81271");
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(window_->grab().save(QString::fromStdString(folder + "/dump_lists.png")));
}

} // namespace
