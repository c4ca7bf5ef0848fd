// File New on a counter slot that holds a run's record, the Save it offers, and Start on a slot
// that is not ready.

#include "main_window_fixture.h"
#include "resources/resource_ids.h"

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class FileNewTest : public MainWindowTest {
protected:
    // Counter 1 after a run of three points that has not been saved.
    void RunToTheEnd() {
        Open();
        counters_.SetRate(1, 2);
        StartRun(1, WriteAssay("three", 1, 3));
        ASSERT_TRUE(PumpUntilStopped(1));
        ASSERT_EQ(window_->Slot(1).PointCount(), 3u);
        ASSERT_FALSE(window_->Slot(1).saved);
        prompts_.Clear();
    }

    void ExpectKept() {
        EXPECT_EQ(window_->Slot(1).state, STOPPED);
        ASSERT_NE(window_->Slot(1).data, nullptr);
        EXPECT_EQ(window_->Slot(1).PointCount(), 3u);
        EXPECT_FALSE(window_->Slot(1).saved);
        EXPECT_EQ(ChartRows(), 3);
        EXPECT_TRUE(Enabled(res::kCmdFileNew));
    }

    void ExpectCleared() {
        EXPECT_EQ(window_->Slot(1).state, NEW);
        EXPECT_EQ(window_->Slot(1).data, nullptr);
        EXPECT_TRUE(window_->Slot(1).saved);
        EXPECT_EQ(Text(ids::kFileLabel), "File: ");
        EXPECT_EQ(ChartRows(), 0);
        EXPECT_TRUE(Items(ids::kDataDumpList).empty());
        EXPECT_TRUE(Items(ids::kHeaderList).empty());
        EXPECT_EQ(Text(ids::kEndTimeLabel), "End Time: ");
        EXPECT_EQ(Text(ids::kTimeLeftLabel), "Time Left:");
        EXPECT_TRUE(Enabled(res::kCmdRunStart));
    }
};

TEST_F(FileNewTest, UnsavedDataIsAskedForAndCancelKeepsIt) {
    RunToTheEnd();
    prompts_.Reply(ui::Answer::Cancel);
    window_->DispatchCommand(res::kCmdFileNew);
    ASSERT_EQ(prompts_.Questions().size(), 1u);
    EXPECT_EQ(prompts_.Questions()[0].text, "Data not saved, would you like to save?");
    EXPECT_EQ(prompts_.Questions()[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(prompts_.Questions()[0].sound, ui::Sound::Exclamation);
    ExpectKept();
}

TEST_F(FileNewTest, NoDiscardsTheDataAndClearsTheSlot) {
    RunToTheEnd();
    prompts_.Reply(ui::Answer::No);
    window_->DispatchCommand(res::kCmdFileNew);
    ExpectCleared();
    EXPECT_EQ(prompts_.Questions().size(), 1u);
}

TEST_F(FileNewTest, YesSavesTheDataFileThenClearsTheSlot) {
    RunToTheEnd();
    const std::string path = dir_.file("kept.dax");
    prompts_.Reply(ui::Answer::Yes).ChooseFile(QString::fromStdString(path));
    window_->DispatchCommand(res::kCmdFileNew);
    ASSERT_EQ(prompts_.Questions().size(), 3u);
    const ui::FileDialogRequest& request = prompts_.Questions()[1].file;
    EXPECT_EQ(request.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.defaultExtension, ".dax");
    EXPECT_EQ(request.initialName, "bench 1"); // the counter configuration's description
    EXPECT_EQ(request.filter, "DataNivra(*.dax)|*.dax||");
    EXPECT_EQ(prompts_.Questions()[2].text, "data saved");
    ExpectCleared();
    const AssayData saved(path);
    EXPECT_EQ(saved.pointCount(), 3u);
    EXPECT_EQ(saved.headerLines().back().rfind("End Time: ", 0), 0u);
}

// The operator asked to save: data that did not reach a file is not thrown away.
TEST_F(FileNewTest, YesKeepsTheDataWhenTheSaveDidNotHappen) {
    RunToTheEnd();
    prompts_.Reply(ui::Answer::Yes).CancelFile();
    window_->DispatchCommand(res::kCmdFileNew);
    EXPECT_EQ(prompts_.MessageTexts().last(), "data not saved");
    ExpectKept();

    const QString unwritable = QString::fromStdString(dir_.file("no_such_folder/kept.dax"));
    prompts_.Clear();
    prompts_.Reply(ui::Answer::Yes).ChooseFile(unwritable);
    window_->DispatchCommand(res::kCmdFileNew);
    EXPECT_EQ(prompts_.MessageTexts().last(),
              QString("data not saved: %1 could not be written").arg(unwritable));
    ExpectKept();
    EXPECT_EQ(Text(ids::kFileLabel), "File: ");
}

TEST_F(FileNewTest, SaveMarksTheDataSavedSoNewNoLongerAsks) {
    RunToTheEnd();
    const std::string path = dir_.file("run.dax");
    prompts_.ChooseFile(QString::fromStdString(path));
    window_->DispatchCommand(res::kCmdFileSave);
    EXPECT_TRUE(window_->Slot(1).saved);
    EXPECT_EQ(Text(ids::kFileLabel).toStdString(), path);
    EXPECT_EQ(prompts_.MessageTexts(), QStringList{"data saved"});

    prompts_.Clear();
    window_->DispatchCommand(res::kCmdFileNew);
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_EQ(window_->Slot(1).state, NEW);
}

TEST_F(FileNewTest, StartOnlyOpensTheRunDialogOnASlotClearedForARun) {
    Open();
    int dialogs = 0;
    window_->DispatchCommand(res::kCmdCounter1);
    // Reached only by a command that bypasses the menu, which grays Start here.
    window_->DispatchCommand(res::kCmdRunStart);
    EXPECT_EQ(prompts_.MessageTexts(),
              QStringList{"Assay Already Running for this counter, stop first"});
    EXPECT_EQ(window_->Slot(1).state, DEMO);

    // A cancelled run dialog changes nothing.
    window_->DispatchCommand(res::kCmdFileNew);
    prompts_.Clear();
    NivraDlgEnvironment environment;
    window_.reset();
    environment.startup = [this] {
        GetStartingDirectory() = dir_.path();
        return CounterStartup{1, true};
    };
    environment.runModal = [&](CDialogBase& dialog) {
        ++dialogs;
        dialog.InitDialog();
        dialog.DispatchCommand(res::kIdCancel);
        return dialog.result();
    };
    window_ = std::make_unique<CNivraDlg>(environment);
    window_->InitDialog();
    window_->DispatchCommand(res::kCmdCounter1);
    window_->DispatchCommand(res::kCmdFileNew);
    window_->DispatchCommand(res::kCmdRunStart);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(window_->Slot(1).state, NEW);
    EXPECT_EQ(window_->Slot(1).runThread, nullptr);
    EXPECT_EQ(CAssayRun::LiveRuns(), 0);
}

} // namespace
