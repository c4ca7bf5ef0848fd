#include "ui/controls/prompts.h"
#include "ui_test_support.h"

#include <QPrinter>
#include <gtest/gtest.h>

using namespace nivra::ui;

namespace {

// Scripted prompts whose failures are collected instead of failing the test.
struct RecordingPrompts : CScriptedPrompts {
    RecordingPrompts() {
        SetFailureHandler([this](const QString& problem) { failures << problem; });
    }
    QStringList failures;
};

TEST(ScriptedPrompts, AnswerQuestionsInOrderAndRecordThem) {
    RecordingPrompts prompts;
    CPromptsScope scope(prompts);
    prompts.Reply(Answer::Yes).Reply(Answer::Cancel).Reply(Answer::Ok);

    ShowMessage(QStringLiteral("data saved")); // OK boxes need no reply
    EXPECT_EQ(Ask(QStringLiteral("Data not saved, would you like to save?"),
                  MessageButtons::YesNoCancel, Sound::Exclamation),
              Answer::Yes);
    EXPECT_EQ(Ask(QStringLiteral("q2"), MessageButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(Ask(QStringLiteral("q3"), MessageButtons::OkCancel), Answer::Ok);

    ASSERT_EQ(prompts.Questions().size(), 4u);
    EXPECT_EQ(prompts.MessageTexts(),
              (QStringList{"data saved", "Data not saved, would you like to save?", "q2", "q3"}));
    EXPECT_EQ(prompts.Questions()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(prompts.Questions()[1].sound, Sound::Exclamation);
    EXPECT_EQ(prompts.Questions()[2].sound, Sound::None);
    EXPECT_TRUE(prompts.failures.isEmpty());
    EXPECT_EQ(prompts.PendingReplies(), 0u);
}

TEST(ScriptedPrompts, RunningOutOrAMismatchFailsLoudlyAndGivesTheSafeAnswer) {
    RecordingPrompts prompts;
    CPromptsScope scope(prompts);
    EXPECT_EQ(Ask(QStringLiteral("stop?"), MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(Ask(QStringLiteral("save?"), MessageButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(prompts.failures.size(), 2);

    prompts.Reply(Answer::Yes); // not a button of OK/Cancel
    EXPECT_EQ(Ask(QStringLiteral("overwrite?"), MessageButtons::OkCancel), Answer::Cancel);
    prompts.ChooseFile(QStringLiteral("/tmp/a.dax")); // a file where an answer is due
    EXPECT_EQ(Ask(QStringLiteral("sure?"), MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(prompts.failures.size(), 4);
    EXPECT_EQ(prompts.PendingReplies(), 1u); // the file reply stays for the file dialog

    FileDialogRequest open;
    EXPECT_EQ(Prompts().FileDialog(open), QStringLiteral("/tmp/a.dax"));
    QPrinter printer;
    EXPECT_FALSE(Prompts().PrintDialog(printer));
    EXPECT_EQ(prompts.failures.size(), 5);
}

TEST(ScriptedPrompts, FileDialogsRecordTheRequestAndApplyTheDefaultExtension) {
    RecordingPrompts prompts;
    CPromptsScope scope(prompts);
    prompts.ChooseFile(QStringLiteral("/data/run7")).ChooseFile(QStringLiteral("/data/run7.txt"));
    prompts.CancelFile();

    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    save.defaultExtension = QStringLiteral(".dax");
    save.initialName = QStringLiteral("Detector A");
    save.filters = {{QStringLiteral("DataNivra(*.dax)"), QStringLiteral("*.dax")}};
    EXPECT_EQ(Prompts().FileDialog(save), QStringLiteral("/data/run7.dax"));
    EXPECT_EQ(Prompts().FileDialog(save), QStringLiteral("/data/run7.txt"));
    EXPECT_EQ(Prompts().FileDialog(save), std::nullopt);

    ASSERT_EQ(prompts.Questions().size(), 3u);
    const auto& q = prompts.Questions()[0];
    EXPECT_EQ(q.kind, CScriptedPrompts::Question::Kind::File);
    EXPECT_EQ(q.file.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(q.file.filters, save.filters);
    EXPECT_EQ(q.file.initialName, QStringLiteral("Detector A"));
    EXPECT_TRUE(q.file.overwritePrompt);
    EXPECT_TRUE(prompts.failures.isEmpty());
}

TEST(ScriptedPrompts, PrintDialogTakesItsReply) {
    RecordingPrompts prompts;
    CPromptsScope scope(prompts);
    prompts.ConfirmPrint(true).ConfirmPrint(false);
    QPrinter printer;
    EXPECT_TRUE(Prompts().PrintDialog(printer));
    EXPECT_FALSE(Prompts().PrintDialog(printer));
    EXPECT_TRUE(prompts.failures.isEmpty());
}

TEST(ScriptedPrompts, ScopesNestAndRestoreTheRealDialogs) {
    EXPECT_NE(dynamic_cast<CQtPrompts*>(&Prompts()), nullptr);
    RecordingPrompts outer;
    {
        CPromptsScope a(outer);
        RecordingPrompts inner;
        {
            CPromptsScope b(inner);
            EXPECT_EQ(&Prompts(), &inner);
        }
        EXPECT_EQ(&Prompts(), &outer);
    }
    EXPECT_NE(dynamic_cast<CQtPrompts*>(&Prompts()), nullptr);
}

// A description that names its patterns is shown as it is; one that does not gets them appended,
// several patterns separated by blanks as Qt expects.
TEST(FileFilters, TypedFiltersBecomeQtNameFilters) {
    EXPECT_EQ(ToQtNameFilters({{"DataNivra(*.dax)", "*.dax"}}), QStringList{"DataNivra(*.dax)"});
    EXPECT_EQ(ToQtNameFilters({{"Counter Config Nivra (*.ccx)", "*.ccx"}}),
              QStringList{"Counter Config Nivra (*.ccx)"});
    EXPECT_EQ(ToQtNameFilters({{"Text", "*.csv;*.txt"}, {"All", "*.*"}}),
              (QStringList{"Text (*.csv *.txt)", "All (*.*)"}));
    EXPECT_EQ(ToQtNameFilters({{"Old (*.dax)", "*.dat"}}), QStringList{"Old (*.dax) (*.dat)"});
    EXPECT_TRUE(ToQtNameFilters({}).isEmpty());
}

TEST(FileFilters, DefaultExtensionOnlyWhenTheNameHasNone) {
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/a/b"), QStringLiteral(".csv")),
              QStringLiteral("/a/b.csv"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/a/b"), QStringLiteral("csv")),
              QStringLiteral("/a/b.csv"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/a.d/b.txt"), QStringLiteral(".csv")),
              QStringLiteral("/a.d/b.txt"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/a.d/b"), QStringLiteral(".csv")),
              QStringLiteral("/a.d/b.csv"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/a/b"), QString()), QStringLiteral("/a/b"));
}

} // namespace
