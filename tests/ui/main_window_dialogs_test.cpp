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

using nivra::ui::AboutDlg;
using nivra::ui::AssayConfigDlg;
using nivra::ui::CounterConfigDlg;
using nivra::ui::DialogBase;

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

    bool printDialog(QPrinter& printer) override {
        offered.push_back(printer.pageLayout().orientation());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        if (choosePortrait)
            printer.setPageOrientation(QPageLayout::Portrait);
        return ScriptedPrompts::printDialog(printer);
    }
};

class DialogsTest : public MainWindowTest {
protected:
    // Opens the dialog of `command`, lets `operate` work on it after its initialisation, and
    // closes it.
    template <class Dialog> void operate(int command, const std::function<void(Dialog&)>& operate) {
        int opened = 0;
        otherDialog_ = [&](DialogBase& dialog) {
            auto* typed = qobject_cast<Dialog*>(&dialog);
            EXPECT_NE(typed, nullptr) << "another dialog opened";
            dialog.initDialog();
            if (typed)
                operate(*typed);
            dialog.dispatchCommand(res::kIdCancel);
            ++opened;
            return dialog.result();
        };
        choose(command);
        otherDialog_ = nullptr;
        EXPECT_EQ(opened, 1);
    }

    static QStringList counterFields(const CounterConfigDlg& d) {
        return {d.itemText(counter_ids::kNameEdit), d.itemText(counter_ids::kDescriptionEdit),
                d.itemText(counter_ids::kDetectorAreaEdit),
                d.itemText(counter_ids::kDetectorEfficiencyEdit)};
    }
};

TEST_F(DialogsTest, CounterConfigurationWorksOnTheActiveSlotsOwnFile) {
    open();
    operate<CounterConfigDlg>(res::kCmdConfigCounter, [](CounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Viewer (Place holder) Counter Configuration  ");
        EXPECT_EQ(d.itemText(counter_ids::kCounterGroup), d.windowTitle());
        EXPECT_EQ(counterFields(d), (QStringList{"", "", "1000", "0.84"}));
    });

    // Counter 2: a new name and letters in the area. The area is read after the name, so the
    // default written keeps the name and the previous area.
    choose(res::kCmdCounter1 + 1);
    operate<CounterConfigDlg>(res::kCmdConfigCounter, [this](CounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Counter 2 Configuration  ");
        d.setItemText(counter_ids::kNameEdit, "alpha two");
        d.setItemText(counter_ids::kDescriptionEdit, "bench 2");
        d.setItemText(counter_ids::kDetectorAreaEdit, "x12");
        prompts_.reply(ui::Answer::Ok);
        d.dispatchCommand(counter_ids::kSaveAsDefaultButton);
    });
    EXPECT_EQ(prompts_.messageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Enter a positive integer.", "Saved Default Counter Configuration."}));
    EXPECT_FALSE(fileExists(counterConfigPath(0)));

    // Reopened, the dialog reads the slot's file afresh.
    operate<CounterConfigDlg>(res::kCmdConfigCounter, [](CounterConfigDlg& d) {
        EXPECT_EQ(counterFields(d), (QStringList{"alpha two", "bench 2", "1000", "0.84"}));
    });
}

TEST_F(DialogsTest, AssayConfigurationOpensOnTheDefaultAndKeepsItsFilesInAssayConfig) {
    open();
    const QStringList defaults = {"", "2", "2", "3", "4", "5", "6", "1000", "4", "1"};
    const auto fields = [](const AssayConfigDlg& d) {
        QStringList texts;
        for (int id : {assay_ids::kNameEdit, assay_ids::kDwellHoursEdit,
                       assay_ids::kDwellMinutesEdit, assay_ids::kDwellSecondsEdit,
                       assay_ids::kTotalHoursEdit, assay_ids::kTotalMinutesEdit,
                       assay_ids::kTotalSecondsEdit, assay_ids::kSampleAreaEdit,
                       assay_ids::kBackgroundHoursEdit, assay_ids::kBackgroundRateEdit})
            texts << d.itemText(id);
        return texts;
    };
    operate<AssayConfigDlg>(res::kCmdConfigAssay, [&](AssayConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Assay Configuration");
        EXPECT_EQ(fields(d), defaults);
        d.setItemText(assay_ids::kNameEdit, "swipe");
        d.setItemText(assay_ids::kDwellMinutesEdit, "10");
        prompts_.reply(ui::Answer::Ok);
        d.dispatchCommand(assay_ids::kSaveAsDefaultButton);
        // Letters in the sample area, which is read first: the save dialog still follows.
        d.setItemText(assay_ids::kSampleAreaEdit, "big");
        prompts_.cancelFile();
        d.dispatchCommand(assay_ids::kSaveButton);
    });
    EXPECT_EQ(prompts_.messageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Default File Saved.", "Enter a positive integer."}));
    const ui::FileDialogRequest& save = prompts_.questions().back().file;
    EXPECT_EQ(save.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(save.startFolder, ui::fromNarrow(startPath(kAssayConfigFolder)));

    operate<AssayConfigDlg>(res::kCmdConfigAssay, [&](AssayConfigDlg& d) {
        QStringList saved = defaults;
        saved[0] = "swipe";
        saved[2] = "10";
        EXPECT_EQ(fields(d), saved);
    });
}

TEST_F(DialogsTest, PrintPutsTheWindowOnOneLandscapePageEveryTime) {
    open();
    window_->show();
    PdfPrintPrompts prompts;
    prompts.confirmPrint().confirmPrint();

    prompts.pdf = dir_.file("window.pdf");
    prompts.choosePortrait = true;
    choose(res::kCmdFilePrint);
    EXPECT_EQ(readPdfPages(prompts.pdf).count, 1);

    prompts.pdf = dir_.file("again.pdf");
    prompts.choosePortrait = false;
    choose(res::kCmdFilePrint);
    const PdfPages pages = readPdfPages(prompts.pdf);
    EXPECT_EQ(pages.count, 1);
    EXPECT_TRUE(isLandscape(pages));
    EXPECT_EQ(prompts.offered, (std::vector{QPageLayout::Landscape, QPageLayout::Landscape}));
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(DialogsTest, AboutFromTheMenuAndFromItsOwnItemShowsTheWindowTitle) {
    open();
    for (int command : {res::kCmdAbout, res::kCmdAboutBox}) {
        operate<AboutDlg>(command, [](AboutDlg& d) {
            EXPECT_EQ(d.windowTitle(), "About Nivra-USB");
            EXPECT_EQ(d.itemText(nivra::ui::about::kVersionLabel), "Nivra-USB- v3.04");
        });
    }
}

} // namespace
