// The File menu of the main window beyond New: the CSV and region exports, Open into the viewer,
// and the way out with its questions about unsaved data.

#include "main_window_fixture.h"
#include "model/data_file.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/resources/resource_ids.h"

#include <sys/stat.h>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class FileCommandsTest : public MainWindowTest {
protected:
    QString Path(const std::string& name) const { return QString::fromStdString(dir_.file(name)); }

    void SetRoi(int low, int high) {
        window_->SetItemText(ids::kRoiMinEdit, QString::number(low));
        window_->SetItemText(ids::kRoiMaxEdit, QString::number(high));
        window_->DispatchCommand(ids::kSetRoiButton);
    }

    // Runs a short assay of three points on the counter to its end, leaving it unsaved.
    void RunToEnd(int counter) {
        counters_.SetRate(counter, 2);
        StartRun(counter, WriteAssay("three", 1, 3));
        ASSERT_TRUE(PumpUntilStopped(counter));
        ASSERT_FALSE(window_->Slot(counter).saved);
    }

    ui::FileDialogRequest LastFileRequest() const {
        const auto& questions = prompts_.Questions();
        for (auto it = questions.rbegin(); it != questions.rend(); ++it)
            if (it->kind == ui::CScriptedPrompts::Question::Kind::File)
                return it->file;
        ADD_FAILURE() << "no file dialog";
        return {};
    }

    // Connects to the window's end; true once it has closed.
    void WatchClosing() {
        QObject::connect(window_.get(), &QDialog::finished, [this] { closed_ = true; });
    }

    bool closed_ = false;
};

TEST_F(FileCommandsTest, ExportsWriteTheRecordOrItsRegionAndLeaveTheSlotAsItWas) {
    Open();
    ShowAllStatistics();
    const std::string source =
        WriteDataFile("ten", {5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, {"bench 7", "swipe"});
    OpenInViewer(source);
    prompts_.Clear();

    prompts_.ChooseFile(Path("all.csv"));
    Choose(res::kCmdSaveCsv);
    const ui::FileDialogRequest csvRequest = prompts_.Questions().at(0).file;
    EXPECT_EQ(csvRequest.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(csvRequest.defaultExtension, ".csv");
    EXPECT_EQ(csvRequest.filters, (std::vector<ui::FileFilter>{{"CSV(*.csv)", "*.csv"}}));
    EXPECT_EQ(csvRequest.initialName, "bench 7");
    EXPECT_EQ(ReadFileBytes(dir_.file("all.csv")).rfind("bench 7\nswipe\nNum Points: 10\n", 0), 0u);

    SetRoi(3, 5);
    prompts_.ChooseFile(Path("roi.dax"));
    Choose(res::kCmdSaveRoi);
    EXPECT_EQ(LastFileRequest().filters,
              (std::vector<ui::FileFilter>{{"Data Nivra (*.dax)", "*.dax"}}));
    EXPECT_EQ(LastFileRequest().defaultExtension, ".dax");
    const AssayData region = *nivra::readDataFile(dir_.file("roi.dax"));
    EXPECT_EQ(region.counts(), (std::vector<std::int32_t>{7, 8, 9}));
    EXPECT_EQ(region.headerLineCount(), 0u);
    EXPECT_EQ(region.timeText(), "0.0500");

    prompts_.ChooseFile(Path("roi.csv"));
    Choose(res::kCmdSaveRoiCsv);
    const std::string roiCsv = ReadFileBytes(dir_.file("roi.csv"));
    EXPECT_EQ(roiCsv.rfind("Num Points: 3\n", 0), 0u);
    EXPECT_EQ(roiCsv.substr(roiCsv.size() - 9), "7,\n8,\n9,\n");

    for (int command : {res::kCmdSaveCsv, res::kCmdSaveRoi, res::kCmdSaveRoiCsv}) {
        prompts_.CancelFile();
        Choose(command);
    }
    EXPECT_EQ(prompts_.MessageTexts(),
              (QStringList{"csv data saved", "data saved", "ROI csv data saved", "data not saved",
                           "data not saved", "data not saved"}));
    // Exports never count as saving the slot's record.
    EXPECT_TRUE(window_->Slot(kViewerSlot).saved);
    EXPECT_EQ(window_->Slot(kViewerSlot).fileName, source);
    EXPECT_EQ(Text(ids::kFileLabel).toStdString(), source);
}

// A file that could not be written is reported with its name, never with the success text.
TEST_F(FileCommandsTest, ASaveThatDidNotReachTheDiskIsNeverReportedAsSaved) {
    Open();
    RunToEnd(1);
    prompts_.Clear();
    const QString unwritable = Path("no_such_folder/run.dax");
    for (int command :
         {res::kCmdFileSave, res::kCmdSaveCsv, res::kCmdSaveRoi, res::kCmdSaveRoiCsv}) {
        prompts_.ChooseFile(unwritable);
        Choose(command);
    }
    EXPECT_EQ(prompts_.MessageTexts(), QStringList(4, ui::FileNotSavedMessage(unwritable)));
    EXPECT_FALSE(window_->Slot(1).saved);
    EXPECT_EQ(window_->Slot(1).fileName, "File: ");

    prompts_.ChooseFile(Path("run.dax"));
    Choose(res::kCmdFileSave);
    EXPECT_EQ(prompts_.MessageTexts().last(), "data saved");
    EXPECT_TRUE(window_->Slot(1).saved);
    EXPECT_EQ(Text(ids::kFileLabel), Path("run.dax"));
}

TEST_F(FileCommandsTest, OpenLoadsIntoTheViewerWhileARunGoesOn) {
    Open();
    counters_.SetRate(1, 4);
    counters_.HoldAt(1, 6);
    StartRun(1, WriteAssay("tenseconds", 1, 10));
    ASSERT_TRUE(counters_.WaitUntilHeld(1));
    const std::string source = WriteDataFile("old", {3, 4, 5}, {"kept line"});

    // The operator turns to the viewer; a cancelled dialog changes nothing.
    Choose(res::kCmdViewer);
    ASSERT_TRUE(Enabled(res::kCmdFileOpen));
    prompts_.CancelFile();
    Choose(res::kCmdFileOpen);
    EXPECT_EQ(window_->Slot(kViewerSlot).data, nullptr);
    EXPECT_EQ(ChartRows(), 0);

    OpenInViewer(source);
    const ui::FileDialogRequest request = LastFileRequest();
    EXPECT_EQ(request.mode, ui::FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.defaultExtension, ".dax");
    EXPECT_EQ(request.filters, (std::vector<ui::FileFilter>{{"DataNivra(*.dax)", "*.dax"}}));
    EXPECT_TRUE(request.initialName.isEmpty());
    EXPECT_EQ(window_->ActiveSlot(), kViewerSlot);
    EXPECT_EQ(Text(ids::kFileLabel).toStdString(), source);
    EXPECT_EQ(Text(ids::kStatusLabel), "VIEWER");
    EXPECT_EQ(ChartRows(), 3);
    EXPECT_EQ(Items(ids::kHeaderList), QStringList{"kept line"});
    EXPECT_TRUE(Slider()->isEnabled());
    EXPECT_TRUE(Enabled(res::kCmdFileSave));
    EXPECT_TRUE(Enabled(res::kCmdSaveRoiCsv));

    // The run goes on to its end behind the viewer, which keeps showing the file.
    counters_.Release(1);
    ASSERT_TRUE(PumpUntilStopped(1));
    EXPECT_GE(window_->Slot(1).PointCount(), 5u);
    EXPECT_EQ(ChartRows(), 3);
    EXPECT_EQ(Text(ids::kFileLabel).toStdString(), source);
}

TEST_F(FileCommandsTest, ExitAsksForEachUnsavedSlotInTurnAndCancelStays) {
    Open(4);
    RunToEnd(2);
    RunToEnd(4);
    Choose(res::kCmdViewer);
    WatchClosing();
    prompts_.Clear();

    prompts_.Reply(ui::Answer::Yes).ChooseFile(Path("two.dax")).Reply(ui::Answer::Cancel);
    Choose(res::kCmdExit);
    const auto& questions = prompts_.Questions();
    ASSERT_EQ(questions.size(), 4u); // question, save dialog, "data saved", question
    EXPECT_EQ(questions[0].text, "Data for counter 2 not saved, would you like to save?");
    EXPECT_EQ(questions[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(questions[0].sound, ui::Sound::Exclamation);
    EXPECT_EQ(questions[1].file.initialName, "bench 2");
    EXPECT_EQ(questions[3].text, "Data for counter 4 not saved, would you like to save?");
    EXPECT_FALSE(closed_);
    EXPECT_EQ(window_->ActiveSlot(), 2);
    EXPECT_EQ(Text(ids::kStatusLabel), "STOPPED");
    EXPECT_EQ(Text(ids::kActiveLabel), "ACTIVE COUNTER: 2");
    EXPECT_TRUE(window_->Slot(2).saved);
    EXPECT_FALSE(window_->Slot(4).saved);

    // Slot 2 is saved now; No for slot 4 lets the program end.
    prompts_.Clear();
    prompts_.Reply(ui::Answer::No);
    window_->reject(); // the close box
    EXPECT_EQ(prompts_.MessageTexts(),
              QStringList{"Data for counter 4 not saved, would you like to save?"});
    EXPECT_TRUE(closed_);
}

// The operator asked to keep the data: a save that did not happen keeps the program open.
TEST_F(FileCommandsTest, ExitStaysWhenTheSaveAskedForDidNotHappen) {
    Open(4);
    RunToEnd(2);
    RunToEnd(4);
    WatchClosing();
    prompts_.Clear();

    prompts_.Reply(ui::Answer::Yes).CancelFile();
    Choose(res::kCmdExit);
    EXPECT_EQ(prompts_.MessageTexts().last(), "data not saved");
    EXPECT_FALSE(closed_);

    prompts_.Clear();
    const QString unwritable = Path("no_such_folder/two.dax");
    prompts_.Reply(ui::Answer::Yes).ChooseFile(unwritable);
    Choose(res::kCmdExit);
    EXPECT_EQ(prompts_.MessageTexts().last(), ui::FileNotSavedMessage(unwritable));
    EXPECT_FALSE(closed_);
    EXPECT_EQ(prompts_.Questions().size(), 3u); // slot 4 was not asked about
    EXPECT_FALSE(window_->Slot(2).saved);
    EXPECT_FALSE(window_->Slot(4).saved);
}

TEST_F(FileCommandsTest, ExitDoesNotAskAboutARecordWithoutPoints) {
    Open();
    RunToEnd(1);
    window_->SetItemText(ids::kDeletePointEdit, "1");
    for (int i = 0; i < 3; ++i)
        window_->DispatchCommand(ids::kDeletePointButton);
    ASSERT_EQ(window_->Slot(1).PointCount(), 0u);
    ASSERT_FALSE(window_->Slot(1).saved);
    WatchClosing();
    prompts_.Clear();
    Choose(res::kCmdExit);
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_TRUE(closed_);
}

} // namespace

namespace {

TEST_F(FileCommandsTest, OpenRefusesWhatIsNoDataFileAndKeepsTheViewer) {
    Open();
    const std::string source = WriteDataFile("old", {3, 4, 5});
    OpenInViewer(source);
    WriteFileBytes(dir_.file("ports.pfx"), "[CONFIG]\r\nPORT1=COM1\r\n");
    ASSERT_EQ(::mkfifo(dir_.file("fifo.dax").c_str(), 0600), 0);
    prompts_.Clear();

    for (const char* name : {"ports.pfx", "fifo.dax"})
        OpenInViewer(dir_.file(name));
    EXPECT_EQ(prompts_.MessageTexts().join('\n'), "not a data file: " + Path("ports.pfx") +
                                                      "\ncannot read '" + Path("fifo.dax") +
                                                      "': is a FIFO");
    EXPECT_EQ(window_->Slot(kViewerSlot).fileName, source);
    EXPECT_EQ(window_->Slot(kViewerSlot).PointCount(), 3u);
    EXPECT_EQ(ChartRows(), 3);
}

} // namespace
