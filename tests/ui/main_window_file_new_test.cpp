// File New on a counter slot that holds a run's unsaved record, the Save it offers, and Start on
// a slot that is not ready for a run.

#include "main_window_fixture.h"
#include "model/data_file.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/resources/resource_ids.h"

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class FileNewTest : public MainWindowTest {
protected:
    // Counter 1 after a run of three points that has not been saved.
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        counters_.SetRate(1, 2);
        StartRun(1, WriteAssay("three", 1, 3));
        ASSERT_TRUE(PumpUntilStopped(1));
        prompts_.Clear();
    }

    void New(std::initializer_list<ui::Answer> answers) {
        for (ui::Answer answer : answers)
            prompts_.Reply(answer);
        Choose(res::kCmdFileNew);
    }

    void ExpectKept() {
        EXPECT_EQ(window_->Slot(1).state, STOPPED);
        EXPECT_EQ(window_->Slot(1).PointCount(), 3u);
        EXPECT_FALSE(window_->Slot(1).saved);
        EXPECT_EQ(ChartRows(), 3);
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
        EXPECT_TRUE(Enabled(res::kCmdRunStart));
    }
};

TEST_F(FileNewTest, UnsavedDataIsAskedForCancelKeepsItNoDiscardsIt) {
    New({ui::Answer::Cancel});
    ASSERT_EQ(prompts_.Questions().size(), 1u);
    EXPECT_EQ(prompts_.Questions()[0].text, "Data not saved, would you like to save?");
    EXPECT_EQ(prompts_.Questions()[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(prompts_.Questions()[0].sound, ui::Sound::Exclamation);
    ExpectKept();

    New({ui::Answer::No});
    ExpectCleared();
    EXPECT_EQ(prompts_.Questions().size(), 2u);
}

TEST_F(FileNewTest, YesSavesTheDataFileThenClears) {
    const std::string path = dir_.file("kept.dax");
    prompts_.Reply(ui::Answer::Yes).ChooseFile(QString::fromStdString(path));
    Choose(res::kCmdFileNew);
    const ui::FileDialogRequest& request = prompts_.Questions().at(1).file;
    EXPECT_EQ(request.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.defaultExtension, ".dax");
    EXPECT_EQ(request.initialName, "bench 1"); // the counter configuration's description
    EXPECT_EQ(request.filters, (std::vector<ui::FileFilter>{{"DataNivra(*.dax)", "*.dax"}}));
    EXPECT_EQ(prompts_.MessageTexts().last(), "data saved");
    ExpectCleared();
    EXPECT_EQ(nivra::readDataFile(path)->pointCount(), 3u);
}

// The operator asked to save: data that did not reach a file is not thrown away.
TEST_F(FileNewTest, YesKeepsTheDataWhenTheSaveDidNotHappen) {
    prompts_.Reply(ui::Answer::Yes).CancelFile();
    Choose(res::kCmdFileNew);
    EXPECT_EQ(prompts_.MessageTexts().last(), "data not saved");
    ExpectKept();

    const QString unwritable = QString::fromStdString(dir_.file("no_such_folder/kept.dax"));
    prompts_.Reply(ui::Answer::Yes).ChooseFile(unwritable);
    Choose(res::kCmdFileNew);
    EXPECT_EQ(prompts_.MessageTexts().last(), ui::FileNotSavedMessage(unwritable));
    ExpectKept();
}

TEST_F(FileNewTest, AfterSaveNewClearsWithoutAsking) {
    const std::string path = dir_.file("run.dax");
    prompts_.ChooseFile(QString::fromStdString(path));
    Choose(res::kCmdFileSave);
    EXPECT_TRUE(window_->Slot(1).saved);
    EXPECT_EQ(Text(ids::kFileLabel).toStdString(), path);
    prompts_.Clear();
    Choose(res::kCmdFileNew);
    EXPECT_TRUE(prompts_.Questions().empty());
    EXPECT_EQ(window_->Slot(1).state, NEW);
}

TEST_F(FileNewTest, StartNeedsASlotClearedForARunAndACancelledDialogChangesNothing) {
    // Reached only by a command that bypasses the menu, which grays Start here.
    Send(res::kCmdRunStart);
    EXPECT_EQ(prompts_.MessageTexts(),
              QStringList{"Assay Already Running for this counter, stop first"});
    EXPECT_EQ(window_->Slot(1).state, STOPPED);

    New({ui::Answer::No});
    assayFile_.clear(); // the operator cancels the run dialog
    Choose(res::kCmdRunStart);
    EXPECT_EQ(window_->Slot(1).state, NEW);
    EXPECT_EQ(window_->Slot(1).run, nullptr);
}

} // namespace
