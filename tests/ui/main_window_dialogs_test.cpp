// The dialogs the main window opens: the counter configuration for its active slot, the assay
// configuration, File > Print and About.

#include "main_window_fixture.h"
#include "pdf_pages.h"
#include "ui/controls/narrow_text.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/assay_config_dlg.h"
#include "ui/dialogs/counter_config_dlg.h"
#include "ui/resources/resource_ids.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>

using nivra::ui::AboutDlg;
using nivra::ui::AssayConfigDlg;
using nivra::ui::CounterConfigDlg;

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

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
    template <class Dialog>
    void operate(nivra::res::MenuCommand command, const std::function<void(Dialog&)>& operate) {
        int opened = 0;
        otherDialog_ = [&](QDialog& dialog) {
            auto* typed = qobject_cast<Dialog*>(&dialog);
            EXPECT_NE(typed, nullptr) << "another dialog opened";
            if (typed)
                operate(*typed);
            dialog.reject();
            ++opened;
            return dialog.result();
        };
        choose(command);
        otherDialog_ = nullptr;
        EXPECT_EQ(opened, 1);
    }

    static QStringList counterFields(const CounterConfigDlg& d) {
        const ui::CounterConfigUi& ui = d.ui();
        return {ui.name->text(), ui.description->text(), ui.detectorArea->text(),
                ui.detectorEfficiency->text()};
    }
};

TEST_F(DialogsTest, CounterConfigurationWorksOnTheActiveSlotsOwnFile) {
    open();
    operate<CounterConfigDlg>(res::Command::ConfigCounter, [](CounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Viewer (Place holder) Counter Configuration  ");
        EXPECT_EQ(d.ui().counterGroup->title(), d.windowTitle());
        EXPECT_EQ(counterFields(d), (QStringList{"", "", "1000", "0.84"}));
    });

    // Counter 2: a new name and letters in the area. The refused area stops the save: nothing
    // is written that the operator did not type.
    choose(res::Command::Counter2);
    operate<CounterConfigDlg>(res::Command::ConfigCounter, [this](CounterConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "  Counter 2 Configuration  ");
        d.ui().name->setText("alpha two");
        d.ui().description->setText("bench 2");
        d.ui().detectorArea->setText("x12");
        prompts_.reply(ui::Answer::Ok);
        d.ui().saveAsDefault->click();
    });
    EXPECT_EQ(prompts_.messageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Enter a positive integer."}));
    EXPECT_FALSE(fileExists(dir_.start().counterConfig(2)));

    // Corrected, it is written to the slot's own file, which a reopened dialog reads afresh.
    operate<CounterConfigDlg>(res::Command::ConfigCounter, [this](CounterConfigDlg& d) {
        d.ui().name->setText("alpha two");
        d.ui().description->setText("bench 2");
        d.ui().detectorArea->setText("12");
        prompts_.reply(ui::Answer::Ok);
        d.ui().saveAsDefault->click();
    });
    EXPECT_EQ(prompts_.messageTexts().last(), "Saved Default Counter Configuration.");
    EXPECT_FALSE(fileExists(dir_.start().counterConfig(0)));
    operate<CounterConfigDlg>(res::Command::ConfigCounter, [](CounterConfigDlg& d) {
        EXPECT_EQ(counterFields(d), (QStringList{"alpha two", "bench 2", "12", "0.84"}));
    });
}

TEST_F(DialogsTest, AssayConfigurationOpensOnTheDefaultAndKeepsItsFilesInAssayConfig) {
    open();
    const QStringList defaults = {"", "2", "2", "3", "4", "5", "6", "1000", "4", "1"};
    const auto fields = [](const AssayConfigDlg& d) {
        const ui::AssayConfigUi& ui = d.ui();
        QStringList texts;
        for (const QLineEdit* edit : {ui.name, ui.dwellHours, ui.dwellMinutes, ui.dwellSeconds,
                                      ui.totalHours, ui.totalMinutes, ui.totalSeconds,
                                      ui.sampleArea, ui.backgroundHours, ui.backgroundRate})
            texts << edit->text();
        return texts;
    };
    operate<AssayConfigDlg>(res::Command::ConfigAssay, [&](AssayConfigDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Assay Configuration");
        EXPECT_EQ(fields(d), defaults);
        d.ui().name->setText("swipe");
        d.ui().dwellMinutes->setText("10");
        prompts_.reply(ui::Answer::Ok);
        d.ui().saveAsDefault->click();
        // Letters in the sample area, which is read first: no save dialog follows until the
        // area is a number again.
        d.ui().sampleArea->setText("big");
        d.ui().save->click();
        d.ui().sampleArea->setText("1000");
        prompts_.cancelFile();
        d.ui().save->click();
    });
    EXPECT_EQ(prompts_.messageTexts(),
              (QStringList{"Saving this configuration as default will overwrite current default "
                           "configuration.",
                           "Default File Saved.", "Enter a positive integer."}));
    const ui::FileDialogRequest& save = prompts_.questions().back().file;
    EXPECT_EQ(save.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_EQ(save.startFolder, ui::fromNarrow(dir_.start().file(kAssayConfigFolder)));

    operate<AssayConfigDlg>(res::Command::ConfigAssay, [&](AssayConfigDlg& d) {
        QStringList saved = defaults;
        saved[0] = "swipe";
        saved[2] = "10";
        EXPECT_EQ(fields(d), saved);
    });
}

TEST_F(DialogsTest, PrintPutsTheWindowOnOneLandscapePageEveryTime) {
    PdfPrintPrompts prompts;
    windowPrompts_ = &prompts;
    open();
    window_->show();
    prompts.confirmPrint().confirmPrint();

    prompts.pdf = dir_.file("window.pdf");
    prompts.choosePortrait = true;
    choose(res::Command::FilePrint);
    EXPECT_EQ(readPdfPages(prompts.pdf).count, 1);

    prompts.pdf = dir_.file("again.pdf");
    prompts.choosePortrait = false;
    choose(res::Command::FilePrint);
    const PdfPages pages = readPdfPages(prompts.pdf);
    EXPECT_EQ(pages.count, 1);
    EXPECT_TRUE(isLandscape(pages));
    EXPECT_EQ(prompts.offered, (std::vector{QPageLayout::Landscape, QPageLayout::Landscape}));
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    window_.reset();
}

TEST_F(DialogsTest, AboutFromTheMenuAndFromItsOwnItemShowsTheWindowTitle) {
    open();
    for (nivra::res::MenuCommand command : {res::Command::About, res::Command::AboutBox}) {
        operate<AboutDlg>(command, [](AboutDlg& d) {
            EXPECT_EQ(d.windowTitle(), "About Nivra-USB");
            EXPECT_EQ(d.ui().version->text(), "Nivra-USB- v3.04");
        });
    }
}

} // namespace
