// File New on a counter slot that holds a run's unsaved record, the Save it offers, and Start on
// a slot that is not ready for a run.

#include "main_window_fixture.h"
#include "model/data_file.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/resources/resource_ids.h"

using nivra::ui::NEW;
using nivra::ui::STOPPED;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

// Why a file in a folder that does not exist was not saved, as the system says it.
const QString kNoFolder = QStringLiteral("No such file or directory");

class FileNewTest : public MainWindowTest {
protected:
    // Counter 1 after a run of three points that has not been saved.
    void SetUp() override {
        MainWindowTest::SetUp();
        open();
        counters_.setRate(1, 2);
        startRun(1, writeAssay("three", 1, 3));
        ASSERT_TRUE(pumpUntilStopped(1));
        prompts_.clear();
    }

    void fileNew(std::initializer_list<ui::Answer> answers) {
        for (ui::Answer answer : answers)
            prompts_.reply(answer);
        choose(res::Command::FileNew);
    }

    void expectKept() {
        EXPECT_EQ(window_->slot(1).state, STOPPED);
        EXPECT_EQ(window_->slot(1).pointCount(), 3u);
        EXPECT_FALSE(window_->slot(1).saved);
        EXPECT_EQ(chartRows(), 3);
    }

    void expectCleared() {
        EXPECT_EQ(window_->slot(1).state, NEW);
        EXPECT_EQ(window_->slot(1).data, nullptr);
        EXPECT_TRUE(window_->slot(1).saved);
        EXPECT_EQ(text(&Ui::fileLabel), "File: ");
        EXPECT_EQ(chartRows(), 0);
        EXPECT_TRUE(items(&Ui::dataDump).empty());
        EXPECT_TRUE(items(&Ui::headerList).empty());
        EXPECT_EQ(text(&Ui::endTime), "End Time: ");
        EXPECT_TRUE(enabled(res::Command::RunStart));
    }
};

TEST_F(FileNewTest, UnsavedDataIsAskedForCancelKeepsItNoDiscardsIt) {
    fileNew({ui::Answer::Cancel});
    ASSERT_EQ(prompts_.questions().size(), 1u);
    EXPECT_EQ(prompts_.questions()[0].text, "Data not saved, would you like to save?");
    EXPECT_EQ(prompts_.questions()[0].buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_EQ(prompts_.questions()[0].sound, ui::Sound::Exclamation);
    expectKept();

    fileNew({ui::Answer::No});
    expectCleared();
    EXPECT_EQ(prompts_.questions().size(), 2u);
}

TEST_F(FileNewTest, YesSavesTheDataFileThenClears) {
    const std::string path = dir_.file("kept.dax");
    prompts_.reply(ui::Answer::Yes).chooseFile(QString::fromStdString(path));
    choose(res::Command::FileNew);
    const ui::FileDialogRequest& request = prompts_.questions().at(1).file;
    EXPECT_EQ(request.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.defaultExtension, ".dax");
    EXPECT_EQ(request.initialName, "bench 1"); // the counter configuration's description
    EXPECT_EQ(request.filters, (std::vector<ui::FileFilter>{{"DataNivra(*.dax)", "*.dax"}}));
    EXPECT_EQ(prompts_.messageTexts().last(), "data saved");
    expectCleared();
    EXPECT_EQ(nivra::readDataFile(path)->pointCount(), 3u);
}

// The operator asked to save: data that did not reach a file is not thrown away.
TEST_F(FileNewTest, YesKeepsTheDataWhenTheSaveDidNotHappen) {
    prompts_.reply(ui::Answer::Yes).cancelFile();
    choose(res::Command::FileNew);
    EXPECT_EQ(prompts_.messageTexts().last(), "data not saved");
    expectKept();

    const QString unwritable = QString::fromStdString(dir_.file("no_such_folder/kept.dax"));
    prompts_.reply(ui::Answer::Yes).chooseFile(unwritable);
    choose(res::Command::FileNew);
    EXPECT_EQ(prompts_.messageTexts().last(), ui::fileNotSavedMessage(unwritable, kNoFolder));
    expectKept();
}

TEST_F(FileNewTest, AfterSaveNewClearsWithoutAsking) {
    const std::string path = dir_.file("run.dax");
    prompts_.chooseFile(QString::fromStdString(path));
    choose(res::Command::FileSave);
    EXPECT_TRUE(window_->slot(1).saved);
    EXPECT_EQ(text(&Ui::fileLabel).toStdString(), path);
    prompts_.clear();
    choose(res::Command::FileNew);
    EXPECT_TRUE(prompts_.questions().empty());
    // Nothing of the released record stays on the screen, its header lines and end included.
    expectCleared();
}

TEST_F(FileNewTest, StartNeedsASlotClearedForARunAndACancelledDialogChangesNothing) {
    // Reached only by a command that bypasses the menu, which grays Start here.
    send(res::Command::RunStart);
    EXPECT_EQ(prompts_.messageTexts(),
              QStringList{"Assay Already Running for this counter, stop first"});
    EXPECT_EQ(window_->slot(1).state, STOPPED);

    fileNew({ui::Answer::No});
    assayFile_.clear(); // the operator cancels the run dialog
    choose(res::Command::RunStart);
    EXPECT_EQ(window_->slot(1).state, NEW);
    EXPECT_EQ(window_->slot(1).run, nullptr);
}

} // namespace
