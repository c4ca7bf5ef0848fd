#include "ui/controls/file_folders.h"
#include "ui/controls/prompts.h"
#include "ui_test_support.h"

#include <QPrinter>
#include <gtest/gtest.h>

using namespace nivra::ui;
using nivra::test::PromptScript;

namespace {

// Scripted prompts whose failures are collected instead of failing the test.
struct RecordingPrompts : PromptScript {
    RecordingPrompts() {
        setFailureHandler([this](const QString& problem) { failures << problem; });
    }
    QStringList failures;
};

TEST(ScriptedPrompts, AnswerQuestionsInOrderAndRecordThem) {
    RecordingPrompts prompts;
    prompts.reply(Answer::Yes).reply(Answer::Cancel).reply(Answer::Ok);

    prompts.tell(QStringLiteral("data saved")); // OK boxes need no reply
    EXPECT_EQ(prompts.ask(QStringLiteral("Data not saved, would you like to save?"),
                          MessageButtons::YesNoCancel, Sound::Exclamation),
              Answer::Yes);
    EXPECT_EQ(prompts.ask(QStringLiteral("q2"), MessageButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(prompts.ask(QStringLiteral("q3"), MessageButtons::OkCancel), Answer::Ok);

    ASSERT_EQ(prompts.questions().size(), 4u);
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{"data saved", "Data not saved, would you like to save?", "q2", "q3"}));
    EXPECT_EQ(prompts.questions()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(prompts.questions()[1].sound, Sound::Exclamation);
    EXPECT_EQ(prompts.questions()[2].sound, Sound::None);
    EXPECT_TRUE(prompts.failures.isEmpty());
    EXPECT_EQ(prompts.pendingReplies(), 0u);
}

TEST(ScriptedPrompts, RunningOutOrAMismatchFailsLoudlyAndGivesTheSafeAnswer) {
    RecordingPrompts prompts;
    EXPECT_EQ(prompts.ask(QStringLiteral("stop?"), MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(prompts.ask(QStringLiteral("save?"), MessageButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(prompts.failures.size(), 2);

    prompts.reply(Answer::Yes); // not a button of OK/Cancel
    EXPECT_EQ(prompts.ask(QStringLiteral("overwrite?"), MessageButtons::OkCancel), Answer::Cancel);
    prompts.chooseFile(QStringLiteral("/tmp/a.dax")); // a file where an answer is due
    EXPECT_EQ(prompts.ask(QStringLiteral("sure?"), MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(prompts.failures.size(), 4);
    EXPECT_EQ(prompts.pendingReplies(), 1u); // the file reply stays for the file dialog

    FileDialogRequest open;
    EXPECT_EQ(prompts.fileDialog(open), QStringLiteral("/tmp/a.dax"));
    QPrinter printer;
    EXPECT_FALSE(prompts.printDialog(printer));
    EXPECT_EQ(prompts.failures.size(), 5);
}

TEST(ScriptedPrompts, FileDialogsRecordTheRequestAndApplyTheDefaultExtension) {
    RecordingPrompts prompts;
    prompts.chooseFile(QStringLiteral("/data/run7")).chooseFile(QStringLiteral("/data/run7.txt"));
    prompts.cancelFile();

    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    save.defaultExtension = QStringLiteral(".dax");
    save.initialName = QStringLiteral("Detector A");
    save.filters = {{QStringLiteral("DataNivra(*.dax)"), QStringLiteral("*.dax")}};
    EXPECT_EQ(prompts.fileDialog(save), QStringLiteral("/data/run7.dax"));
    EXPECT_EQ(prompts.fileDialog(save), QStringLiteral("/data/run7.txt"));
    EXPECT_EQ(prompts.fileDialog(save), std::nullopt);

    ASSERT_EQ(prompts.questions().size(), 3u);
    const auto& q = prompts.questions()[0];
    EXPECT_EQ(q.kind, PromptScript::Question::Kind::File);
    EXPECT_EQ(q.file.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(q.file.filters, save.filters);
    EXPECT_EQ(q.file.initialName, QStringLiteral("Detector A"));
    EXPECT_TRUE(q.file.overwritePrompt);
    EXPECT_TRUE(prompts.failures.isEmpty());
}

TEST(ScriptedPrompts, PrintDialogTakesItsReply) {
    RecordingPrompts prompts;
    prompts.confirmPrint(true).confirmPrint(false);
    QPrinter printer;
    EXPECT_TRUE(prompts.printDialog(printer));
    EXPECT_FALSE(prompts.printDialog(printer));
    EXPECT_TRUE(prompts.failures.isEmpty());
}

// A description that names its patterns is shown as it is; one that does not gets them appended,
// several patterns separated by blanks as Qt expects.
TEST(FileFilters, TypedFiltersBecomeQtNameFilters) {
    EXPECT_EQ(toQtNameFilters({{"DataNivra(*.dax)", "*.dax"}}), QStringList{"DataNivra(*.dax)"});
    EXPECT_EQ(toQtNameFilters({{"Counter Config Nivra (*.ccx)", "*.ccx"}}),
              QStringList{"Counter Config Nivra (*.ccx)"});
    EXPECT_EQ(toQtNameFilters({{"Text", "*.csv;*.txt"}, {"All", "*.*"}}),
              (QStringList{"Text (*.csv *.txt)", "All (*.*)"}));
    EXPECT_EQ(toQtNameFilters({{"Old (*.dax)", "*.dat"}}), QStringList{"Old (*.dax) (*.dat)"});
    EXPECT_TRUE(toQtNameFilters({}).isEmpty());
}

TEST(FileFilters, DefaultExtensionOnlyWhenTheNameHasNone) {
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/a/b"), QStringLiteral(".csv")),
              QStringLiteral("/a/b.csv"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/a/b"), QStringLiteral("csv")),
              QStringLiteral("/a/b.csv"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/a.d/b.txt"), QStringLiteral(".csv")),
              QStringLiteral("/a.d/b.txt"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/a.d/b"), QStringLiteral(".csv")),
              QStringLiteral("/a.d/b.csv"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/a/b"), QString()), QStringLiteral("/a/b"));
}

// A dialog opens where files of its kind were last chosen: choosing an assay configuration does
// not send the next data file's dialog into the configurations' folder.
TEST(FileFolders, EachKindOfFileOpensWhereItWasLastChosen) {
    const auto request = [](const char* patterns, const char* folder = "") {
        FileDialogRequest r;
        if (*patterns)
            r.filters = {{QStringLiteral("files"), QString::fromLatin1(patterns)}};
        r.defaultExtension = QStringLiteral(".dax");
        r.startFolder = QString::fromLatin1(folder);
        return r;
    };
    FileFolders folders;
    const QString start = QStringLiteral("/lab");
    folders.remember(request("*.acx", "/lab/assay_config"), "/lab/assay_config/smear.acx");
    folders.remember(request("*.dax"), "/lab/runs/may/r1.dax");
    folders.remember(request("*.csv"), "/lab/exports/r1.csv");
    folders.remember(request("*.csv"), "");
    const struct {
        FileDialogRequest request;
        QString folder;
    } cases[] = {
        {request("*.dax"), "/lab/runs/may"},
        {request("*.DAX"), "/lab/runs/may"}, // the same kind, however spelled
        {request("*.csv"), "/lab/exports"},  // an empty choice changes nothing
        {request("*.ccx"), start},           // never chosen: the start directory
        {request(""), "/lab/runs/may"},      // no types: the default extension's kind
        {request("*.dax", "/lab/backup_data"), "/lab/backup_data"}, // a named folder wins
    };
    for (const auto& c : cases)
        EXPECT_EQ(folders.folderFor(c.request, start), c.folder)
            << c.request.filters.size() << " " << c.request.startFolder.toStdString();
}

} // namespace
