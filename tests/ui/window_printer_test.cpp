#include "pdf_pages.h"
#include "support/temp_dir.h"
#include "ui/controls/template_dialog.h"
#include "ui/controls/window_printer.h"
#include "ui/resources/resource_ids.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QPrinter>
#include <gtest/gtest.h>
#include <vector>

namespace {

using nivra::test::fileExists;
using nivra::test::isLandscape;
using nivra::test::PdfPages;
using nivra::test::readPdfPages;
using nivra::test::TempDir;
using nivra::ui::PrintOutcome;

// Scripted prompts whose print dialog notes the orientation it was offered and may let the
// operator switch to portrait before confirming.
class PrintPrompts : public nivra::test::ScriptedPrompts {
public:
    bool choosePortrait = false;
    std::vector<QPageLayout::Orientation> offered;

    bool printDialog(QPrinter& printer) override {
        offered.push_back(printer.pageLayout().orientation());
        if (choosePortrait)
            printer.setPageOrientation(QPageLayout::Portrait);
        return ScriptedPrompts::printDialog(printer);
    }
};

class WindowPrinting : public ::testing::Test {
protected:
    WindowPrinting() : window_(nivra::res::mainWindowTemplate(), nullptr) {
        window_.show();
        printer_.setOutputFormat(QPrinter::PdfFormat);
    }
    std::string printTo(const std::string& name) {
        const std::string path = dir_.file(name);
        printer_.setOutputFileName(QString::fromStdString(path));
        return path;
    }

    TempDir dir_;
    nivra::ui::TemplateDialog window_;
    QPrinter printer_{QPrinter::HighResolution};
};

TEST_F(WindowPrinting, PrintsTheWindowOnOneLandscapePage) {
    PrintPrompts prompts;
    prompts.confirmPrint();
    const std::string pdf = printTo("window.pdf");
    EXPECT_EQ(nivra::ui::printWindowContents(prompts, window_, printer_, true),
              PrintOutcome::Printed);

    EXPECT_EQ(prompts.offered, std::vector{QPageLayout::Landscape});
    const PdfPages pages = readPdfPages(pdf);
    EXPECT_EQ(pages.count, 1);
    EXPECT_TRUE(isLandscape(pages));
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait cursor is gone
}

TEST_F(WindowPrinting, LandscapeIsOfferedAgainAfterPortraitWasChosen) {
    PrintPrompts prompts;
    prompts.confirmPrint().confirmPrint().confirmPrint();
    prompts.choosePortrait = true;
    const std::string first = printTo("first.pdf");
    nivra::ui::printWindowContents(prompts, window_, printer_, true);
    EXPECT_FALSE(isLandscape(readPdfPages(first))); // the operator's choice is printed

    prompts.choosePortrait = false;
    const std::string second = printTo("second.pdf");
    nivra::ui::printWindowContents(prompts, window_, printer_, true);
    EXPECT_TRUE(isLandscape(readPdfPages(second)));

    // Without the landscape request the printer keeps what it had.
    printer_.setPageOrientation(QPageLayout::Portrait);
    const std::string third = printTo("third.pdf");
    nivra::ui::printWindowContents(prompts, window_, printer_, false);
    EXPECT_EQ(prompts.offered,
              (std::vector{QPageLayout::Landscape, QPageLayout::Landscape, QPageLayout::Portrait}));
    EXPECT_FALSE(isLandscape(readPdfPages(third)));
}

TEST_F(WindowPrinting, ACancelledPrintDialogPrintsAndReportsNothing) {
    PrintPrompts prompts;
    prompts.confirmPrint(false);
    const std::string pdf = printTo("cancelled.pdf");
    EXPECT_EQ(nivra::ui::printWindowContents(prompts, window_, printer_, true),
              PrintOutcome::Cancelled);
    EXPECT_FALSE(fileExists(pdf));
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(WindowPrinting, APrintThatCannotStartIsReported) {
    PrintPrompts prompts;
    prompts.confirmPrint();
    const std::string pdf = printTo("missing/window.pdf");
    EXPECT_EQ(nivra::ui::printWindowContents(prompts, window_, printer_, true),
              PrintOutcome::Failed);
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Error Printing")});
    EXPECT_FALSE(fileExists(pdf));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowPrinting, ThePictureIsTheCaptionAboveEverythingTheWindowPaints) {
    const QImage picture = nivra::ui::windowPicture(window_);
    const QImage client = window_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.width(), client.width());
    const int caption = picture.height() - client.height();
    EXPECT_GT(caption, 0);
    EXPECT_EQ(picture.copy(0, caption, client.width(), client.height()), client);
}

} // namespace
