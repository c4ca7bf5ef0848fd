// The dialogs the main window opens: the counter configuration for its active slot, the assay
// configuration, File > Print and About.

#include "main_window_fixture.h"
#include "pdf_pages.h"
#include "ui/controls/narrow_text.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/resources/about_controls.h"
#include "ui/resources/assay_config_controls.h"
#include "ui/resources/counter_config_controls.h"
#include "ui/resources/resource_ids.h"

#include <QPrinter>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;
namespace assay_ids = nivra::ui::assay_config;
namespace counter_ids = nivra::ui::counter_config;

namespace {

// Scripted prompts whose print dialog sends the page to a PDF file, notes the orientation it
// offered, and may let the operator choose portrait.
class PdfPrintPrompts : public ScriptedPrompts {
public:
    std::string pdf;
    bool choosePortrait = false;
    std::vector<QPageLayout::Orientation> offered;

    bool PrintDialog(QPrinter& printer) override {
        offered.push_back(printer.pageLayout().orientation());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        if (choosePortrait)
            printer.setPageOrientation(QPageLayout::Portrait);
        return ScriptedPrompts::PrintDialog(printer);
    }
};

class DialogsTest : public MainWindowTest {
protected:
    // Opens the dialog of `command`, lets `operate` work on it after its initialisation, and
    // closes it.
    template <class Dialog> void Operate(int command, const std::function<void(Dialog&)>& operate) {
        int opened = 0;
        otherDialog_ = [&](CDialogBase& dialog) {
            auto* typed = qobject_cast<Dialog*>(&dialog);
            EXPECT_NE(typed, nullptr) << "another dialog opened";
            dialog.InitDialog();
            if (typed)
                operate(*typed);
            dialog.DispatchCommand(res::kIdCancel);
            ++opened;
            return dialog.result();
        };
        Choose(command);
        otherDialog_ = nullptr;
        EXPECT_EQ(opened, 1);
    }

    static QStringList CounterFields(const CCounterConfigDlg& d) {
        return {d.ItemText(counter_ids::kNameEdit), d.ItemText(counter_ids::kDescriptionEdit),
                d.ItemText(counter_ids::kDetectorAreaEdit),
                d.ItemText(counter_ids::kDetectorEfficiencyEdit)};
    }
};

TEST_F(DialogsTest, CounterConfigurationWorksOnTheActiveSlotsOwnFile) {
    Open();
    Operate<CCounterConfigDlg>(res::kCmdConfigCounter, [](CCounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Viewer (Place holder) Counter Configuration  ");
        EXPECT_EQ(d.ItemText(counter_ids::kCounterGroup), d.windowTitle());
        EXPECT_EQ(CounterFields(d), (QStringList{"", "", "1000", "0.84"}));
    });

    // Counter 2: a new name and letters in the area. The area is read after the name, so the
    // default written keeps the name and the previous area.
    Choose(res::kCmdCounter1 + 1);
    Operate<CCounterConfigDlg>(res::kCmdConfigCounter, [this](CCounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Counter 2 Configuration  ");
        d.SetItemText(counter_ids::kNameEdit, "alpha two");
        d.SetItemText(counter_ids::kDescriptionEdit, "bench 2");
        d.SetItemText(counter_ids::kDetectorAreaEdit, "x12");
        prompts_.Reply(ui::Answer::Ok);
        d.DispatchCommand(counter_ids::kSaveAsDefaultButton);
    });
    EXPECT_EQ(prompts_.MessageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Enter a positive integer.", "Saved Default Counter Configuration."}));
    EXPECT_FALSE(FileExists(CounterConfigPath(0)));

    // Reopened, the dialog reads the slot's file afresh.
    Operate<CCounterConfigDlg>(res::kCmdConfigCounter, [](CCounterConfigDlg& d) {
        EXPECT_EQ(CounterFields(d), (QStringList{"alpha two", "bench 2", "1000", "0.84"}));
    });
}

TEST_F(DialogsTest, AssayConfigurationOpensOnTheDefaultAndKeepsItsFilesInAssayConfig) {
    Open();
    const QStringList defaults = {"", "2", "2", "3", "4", "5", "6", "1000", "4", "1"};
    const auto fields = [](const CAssayConfigDlg& d) {
        QStringList texts;
        for (int id : {assay_ids::kNameEdit, assay_ids::kDwellHoursEdit,
                       assay_ids::kDwellMinutesEdit, assay_ids::kDwellSecondsEdit,
                       assay_ids::kTotalHoursEdit, assay_ids::kTotalMinutesEdit,
                       assay_ids::kTotalSecondsEdit, assay_ids::kSampleAreaEdit,
                       assay_ids::kBackgroundHoursEdit, assay_ids::kBackgroundRateEdit})
            texts << d.ItemText(id);
        return texts;
    };
    Operate<CAssayConfigDlg>(res::kCmdConfigAssay, [&](CAssayConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Assay Configuration");
        EXPECT_EQ(fields(d), defaults);
        d.SetItemText(assay_ids::kNameEdit, "swipe");
        d.SetItemText(assay_ids::kDwellMinutesEdit, "10");
        prompts_.Reply(ui::Answer::Ok);
        d.DispatchCommand(assay_ids::kSaveAsDefaultButton);
        // Letters in the sample area, which is read first: the save dialog still follows.
        d.SetItemText(assay_ids::kSampleAreaEdit, "big");
        prompts_.CancelFile();
        d.DispatchCommand(assay_ids::kSaveButton);
    });
    EXPECT_EQ(prompts_.MessageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Default File Saved.", "Enter a positive integer."}));
    const ui::FileDialogRequest& save = prompts_.Questions().back().file;
    EXPECT_EQ(save.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(save.startFolder, ui::FromNarrow(StartPath(kAssayConfigFolder)));

    Operate<CAssayConfigDlg>(res::kCmdConfigAssay, [&](CAssayConfigDlg& d) {
        QStringList saved = defaults;
        saved[0] = "swipe";
        saved[2] = "10";
        EXPECT_EQ(fields(d), saved);
    });
}

TEST_F(DialogsTest, PrintPutsTheWindowOnOneLandscapePageEveryTime) {
    Open();
    window_->show();
    PdfPrintPrompts prompts;
    prompts.ConfirmPrint().ConfirmPrint();

    prompts.pdf = dir_.file("window.pdf");
    prompts.choosePortrait = true;
    Choose(res::kCmdFilePrint);
    EXPECT_EQ(ReadPdfPages(prompts.pdf).count, 1);

    prompts.pdf = dir_.file("again.pdf");
    prompts.choosePortrait = false;
    Choose(res::kCmdFilePrint);
    const PdfPages pages = ReadPdfPages(prompts.pdf);
    EXPECT_EQ(pages.count, 1);
    EXPECT_TRUE(IsLandscape(pages));
    EXPECT_EQ(prompts.offered, (std::vector{QPageLayout::Landscape, QPageLayout::Landscape}));
    EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(DialogsTest, AboutFromTheMenuAndFromItsOwnItemShowsTheWindowTitle) {
    Open();
    for (int command : {res::kCmdAbout, res::kCmdAboutBox}) {
        Operate<CAboutDlg>(command, [](CAboutDlg& d) {
            EXPECT_EQ(d.windowTitle(), "About Nivra-USB");
            EXPECT_EQ(d.ItemText(nivra::ui::about::kVersionLabel), "Nivra-USB- v3.04");
        });
    }
}

} // namespace
