// The File menu of the main window beyond New: the CSV and region exports, Open into the viewer,
// and the way out with its questions about unsaved data.

#include "main_window_fixture.h"
#include "model/data_file.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/resources/resource_ids.h"

#include <sys/stat.h>

using nivra::ui::kViewerSlot;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

// Why a file in a folder that does not exist was not saved, as the system says it.
const QString kNoFolder = QStringLiteral("No such file or directory");

class FileCommandsTest : public MainWindowTest {
protected:
    QString path(const std::string& name) const { return QString::fromStdString(dir_.file(name)); }

    void setRoi(int low, int high) {
        window_->ui().roiMin->setText(QString::number(low));
        window_->ui().roiMax->setText(QString::number(high));
        window_->ui().setRoi->click();
    }

    // Runs a short assay of three points on the counter to its end, leaving it unsaved.
    void runToEnd(int counter) {
        counters_.setRate(counter, 2);
        startRun(counter, writeAssay("three", 1, 3));
        ASSERT_TRUE(pumpUntilStopped(counter));
        ASSERT_FALSE(window_->slot(counter).saved);
    }

    ui::FileDialogRequest lastFileRequest() const {
        const auto& questions = prompts_.questions();
        for (auto it = questions.rbegin(); it != questions.rend(); ++it)
            if (it->kind == PromptScript::Question::Kind::File)
                return it->file;
        ADD_FAILURE() << "no file dialog";
        return {};
    }

    // Connects to the window's end; true once it has closed.
    void watchClosing() {
        QObject::connect(window_.get(), &ui::MainWindow::closed, [this] { closed_ = true; });
    }

    bool closed_ = false;
};

TEST_F(FileCommandsTest, ExportsWriteTheRecordOrItsRegionAndLeaveTheSlotAsItWas) {
    open();
    showAllStatistics();
    const std::string source =
        writeDataFile("ten", {5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, {"bench 7", "swipe"});
    openInViewer(source);
    prompts_.clear();

    prompts_.chooseFile(path("all.csv"));
    choose(res::Command::SaveCsv);
    const ui::FileDialogRequest csvRequest = prompts_.questions().at(0).file;
    EXPECT_EQ(csvRequest.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(csvRequest.defaultExtension, ".csv");
    EXPECT_EQ(csvRequest.filters, (std::vector<ui::FileFilter>{{"CSV(*.csv)", "*.csv"}}));
    EXPECT_EQ(csvRequest.initialName, "bench 7");
    EXPECT_EQ(readFileBytes(dir_.file("all.csv")).rfind("bench 7\nswipe\nNum Points: 10\n", 0), 0u);

    setRoi(3, 5);
    prompts_.chooseFile(path("roi.dax"));
    choose(res::Command::SaveRoi);
    EXPECT_EQ(lastFileRequest().filters,
              (std::vector<ui::FileFilter>{{"Data Nivra (*.dax)", "*.dax"}}));
    EXPECT_EQ(lastFileRequest().defaultExtension, ".dax");
    const AssayData region = *nivra::readDataFile(dir_.file("roi.dax"));
    EXPECT_EQ(region.counts(), (std::vector<std::int32_t>{7, 8, 9}));
    EXPECT_EQ(region.headerLineCount(), 0u);
    EXPECT_EQ(region.timeText(), "0.0500");

    prompts_.chooseFile(path("roi.csv"));
    choose(res::Command::SaveRoiCsv);
    const std::string roiCsv = readFileBytes(dir_.file("roi.csv"));
    EXPECT_EQ(roiCsv.rfind("Num Points: 3\n", 0), 0u);
    EXPECT_EQ(roiCsv.substr(roiCsv.size() - 9), "7,\n8,\n9,\n");

    for (nivra::res::MenuCommand command :
         {res::Command::SaveCsv, res::Command::SaveRoi, res::Command::SaveRoiCsv}) {
        prompts_.cancelFile();
        choose(command);
    }
    EXPECT_EQ(prompts_.messageTexts(),
              (QStringList{"csv data saved", "data saved", "ROI csv data saved", "data not saved",
                           "data not saved", "data not saved"}));
    // Exports never count as saving the slot's record.
    EXPECT_TRUE(window_->slot(kViewerSlot).saved);
    EXPECT_EQ(window_->slot(kViewerSlot).fileName, source);
    EXPECT_EQ(text(&Ui::fileLabel).toStdString(), source);
}

// A file that could not be written is reported with its name, never with the success text.
TEST_F(FileCommandsTest, ASaveThatDidNotReachTheDiskIsNeverReportedAsSaved) {
    open();
    runToEnd(1);
    prompts_.clear();
    const QString unwritable = path("no_such_folder/run.dax");
    for (nivra::res::MenuCommand command : {res::Command::FileSave, res::Command::SaveCsv,
                                            res::Command::SaveRoi, res::Command::SaveRoiCsv}) {
        prompts_.chooseFile(unwritable);
        choose(command);
    }
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList(4, ui::fileNotSavedMessage(unwritable, kNoFolder)));
    EXPECT_FALSE(window_->slot(1).saved);
    EXPECT_EQ(window_->slot(1).fileName, "");
    EXPECT_EQ(text(&Ui::fileLabel), "File: ");

    prompts_.chooseFile(path("run.dax"));
    choose(res::Command::FileSave);
    EXPECT_EQ(prompts_.messageTexts().last(), "data saved");
    EXPECT_TRUE(window_->slot(1).saved);
    EXPECT_EQ(text(&Ui::fileLabel), path("run.dax"));
}

TEST_F(FileCommandsTest, OpenLoadsIntoTheViewerWhileARunGoesOn) {
    open();
    counters_.setRate(1, 4);
    counters_.holdAt(1, 6);
    startRun(1, writeAssay("tenseconds", 1, 10));
    ASSERT_TRUE(counters_.waitUntilHeld(1));
    const std::string source = writeDataFile("old", {3, 4, 5}, {"kept line"});

    // The operator turns to the viewer; a cancelled dialog changes nothing.
    choose(res::Command::Viewer);
    ASSERT_TRUE(enabled(res::Command::FileOpen));
    prompts_.cancelFile();
    choose(res::Command::FileOpen);
    EXPECT_EQ(window_->slot(kViewerSlot).data, nullptr);
    EXPECT_EQ(chartRows(), 0);

    openInViewer(source);
    const ui::FileDialogRequest request = lastFileRequest();
    EXPECT_EQ(request.mode, ui::FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.defaultExtension, ".dax");
    EXPECT_EQ(request.filters, (std::vector<ui::FileFilter>{{"DataNivra(*.dax)", "*.dax"}}));
    EXPECT_TRUE(request.initialName.isEmpty());
    EXPECT_EQ(window_->activeSlot(), kViewerSlot);
    EXPECT_EQ(text(&Ui::fileLabel).toStdString(), source);
    EXPECT_EQ(text(&Ui::status), "VIEWER");
    EXPECT_EQ(chartRows(), 3);
    EXPECT_EQ(items(&Ui::headerList), QStringList{"kept line"});
    EXPECT_TRUE(slider()->isEnabled());
    EXPECT_TRUE(enabled(res::Command::FileSave));
    EXPECT_TRUE(enabled(res::Command::SaveRoiCsv));

    // The run goes on to its end behind the viewer, which keeps showing the file.
    counters_.release(1);
    ASSERT_TRUE(pumpUntilStopped(1));
    EXPECT_GE(window_->slot(1).pointCount(), 5u);
    EXPECT_EQ(chartRows(), 3);
    EXPECT_EQ(text(&Ui::fileLabel).toStdString(), source);
}

TEST_F(FileCommandsTest, ExitAsksForEachUnsavedSlotInTurnAndCancelStays) {
    open(4);
    runToEnd(2);
    runToEnd(4);
    choose(res::Command::Viewer);
    watchClosing();
    prompts_.clear();

    prompts_.reply(ui::Answer::Yes).chooseFile(path("two.dax")).reply(ui::Answer::Cancel);
    choose(res::Command::Exit);
    const auto& questions = prompts_.questions();
    ASSERT_EQ(questions.size(), 4u); // question, save dialog, "data saved", question
    EXPECT_EQ(questions[0].text, "Data for counter 2 not saved, would you like to save?");
    EXPECT_EQ(questions[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(questions[0].sound, ui::Sound::Exclamation);
    EXPECT_EQ(questions[1].file.initialName, "bench 2");
    EXPECT_EQ(questions[3].text, "Data for counter 4 not saved, would you like to save?");
    EXPECT_FALSE(closed_);
    EXPECT_EQ(window_->activeSlot(), 2);
    EXPECT_EQ(text(&Ui::status), "STOPPED");
    EXPECT_EQ(text(&Ui::activeLabel), "ACTIVE COUNTER: 2");
    EXPECT_TRUE(window_->slot(2).saved);
    EXPECT_FALSE(window_->slot(4).saved);

    // Slot 2 is saved now; No for slot 4 lets the program end.
    prompts_.clear();
    prompts_.reply(ui::Answer::No);
    window_->close(); // the close box
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList{"Data for counter 4 not saved, would you like to save?"});
    EXPECT_TRUE(closed_);
}

// The operator asked to keep the data: a save that did not happen keeps the program open.
TEST_F(FileCommandsTest, ExitStaysWhenTheSaveAskedForDidNotHappen) {
    open(4);
    runToEnd(2);
    runToEnd(4);
    watchClosing();
    prompts_.clear();

    prompts_.reply(ui::Answer::Yes).cancelFile();
    choose(res::Command::Exit);
    EXPECT_EQ(prompts_.messageTexts().last(), "data not saved");
    EXPECT_FALSE(closed_);

    prompts_.clear();
    const QString unwritable = path("no_such_folder/two.dax");
    prompts_.reply(ui::Answer::Yes).chooseFile(unwritable);
    choose(res::Command::Exit);
    EXPECT_EQ(prompts_.messageTexts().last(), ui::fileNotSavedMessage(unwritable, kNoFolder));
    EXPECT_FALSE(closed_);
    EXPECT_EQ(prompts_.questions().size(), 3u); // slot 4 was not asked about
    EXPECT_FALSE(window_->slot(2).saved);
    EXPECT_FALSE(window_->slot(4).saved);
}

TEST_F(FileCommandsTest, ExitDoesNotAskAboutARecordWithoutPoints) {
    open();
    runToEnd(1);
    window_->ui().deletePointEdit->setText("1");
    for (int i = 0; i < 3; ++i)
        window_->ui().deletePoint->click();
    ASSERT_EQ(window_->slot(1).pointCount(), 0u);
    ASSERT_FALSE(window_->slot(1).saved);
    watchClosing();
    prompts_.clear();
    choose(res::Command::Exit);
    EXPECT_TRUE(prompts_.questions().empty());
    EXPECT_TRUE(closed_);
}

} // namespace

namespace {

TEST_F(FileCommandsTest, OpenRefusesWhatIsNoDataFileAndKeepsTheViewer) {
    open();
    const std::string source = writeDataFile("old", {3, 4, 5});
    openInViewer(source);
    writeFileBytes(dir_.file("ports.pfx"), "[CONFIG]\r\nPORT1=COM1\r\n");
    ASSERT_EQ(::mkfifo(dir_.file("fifo.dax").c_str(), 0600), 0);
    prompts_.clear();

    for (const char* name : {"ports.pfx", "fifo.dax"})
        openInViewer(dir_.file(name));
    EXPECT_EQ(prompts_.messageTexts().join('\n'), "not a data file: " + path("ports.pfx") +
                                                      " (no [COUNTER CONFIG] section)"
                                                      "\ncannot read '" +
                                                      path("fifo.dax") + "': is a FIFO");
    EXPECT_EQ(window_->slot(kViewerSlot).fileName, source);
    EXPECT_EQ(window_->slot(kViewerSlot).pointCount(), 3u);
    EXPECT_EQ(chartRows(), 3);
}

} // namespace
