#include "pdf_pages.h"
#include "support/temp_dir.h"
#include "ui/controls/dialog_base.h"
#include "ui/controls/window_printer.h"
#include "ui/resources/resource_ids.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QPrinter>
#include <gtest/gtest.h>
#include <vector>

namespace {

using nivra::test::FileExists;
using nivra::test::IsLandscape;
using nivra::test::PdfPages;
using nivra::test::ReadPdfPages;
using nivra::test::TempDir;
using nivra::ui::PrintOutcome;

// Scripted prompts whose print dialog notes the orientation it was offered and may let the
// operator switch to portrait before confirming.
class PrintPrompts : public nivra::test::ScriptedPrompts {
public:
    bool choosePortrait = false;
    std::vector<QPageLayout::Orientation> offered;

    bool PrintDialog(QPrinter& printer) override {
        offered.push_back(printer.pageLayout().orientation());
        if (choosePortrait)
            printer.setPageOrientation(QPageLayout::Portrait);
        return ScriptedPrompts::PrintDialog(printer);
    }
};

class WindowPrinting : public ::testing::Test {
protected:
    WindowPrinting() : window_(nivra::res::kDialogMain) {
        window_.show();
        printer_.setOutputFormat(QPrinter::PdfFormat);
    }
    std::string PrintTo(const std::string& name) {
        const std::string path = dir_.file(name);
        printer_.setOutputFileName(QString::fromStdString(path));
        return path;
    }

    TempDir dir_;
    CDialogBase window_;
    QPrinter printer_{QPrinter::HighResolution};
};

TEST_F(WindowPrinting, PrintsTheWindowOnOneLandscapePage) {
    PrintPrompts prompts;
    prompts.ConfirmPrint();
    const std::string pdf = PrintTo("window.pdf");
    EXPECT_EQ(nivra::ui::PrintWindowContents(window_, printer_, true), PrintOutcome::Printed);

    EXPECT_EQ(prompts.offered, std::vector{QPageLayout::Landscape});
    const PdfPages pages = ReadPdfPages(pdf);
    EXPECT_EQ(pages.count, 1);
    EXPECT_TRUE(IsLandscape(pages));
    EXPECT_TRUE(prompts.MessageTexts().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait cursor is gone
}

TEST_F(WindowPrinting, LandscapeIsOfferedAgainAfterPortraitWasChosen) {
    PrintPrompts prompts;
    prompts.ConfirmPrint().ConfirmPrint().ConfirmPrint();
    prompts.choosePortrait = true;
    const std::string first = PrintTo("first.pdf");
    nivra::ui::PrintWindowContents(window_, printer_, true);
    EXPECT_FALSE(IsLandscape(ReadPdfPages(first))); // the operator's choice is printed

    prompts.choosePortrait = false;
    const std::string second = PrintTo("second.pdf");
    nivra::ui::PrintWindowContents(window_, printer_, true);
    EXPECT_TRUE(IsLandscape(ReadPdfPages(second)));

    // Without the landscape request the printer keeps what it had.
    printer_.setPageOrientation(QPageLayout::Portrait);
    const std::string third = PrintTo("third.pdf");
    nivra::ui::PrintWindowContents(window_, printer_, false);
    EXPECT_EQ(prompts.offered,
              (std::vector{QPageLayout::Landscape, QPageLayout::Landscape, QPageLayout::Portrait}));
    EXPECT_FALSE(IsLandscape(ReadPdfPages(third)));
}

TEST_F(WindowPrinting, ACancelledPrintDialogPrintsAndReportsNothing) {
    PrintPrompts prompts;
    prompts.ConfirmPrint(false);
    const std::string pdf = PrintTo("cancelled.pdf");
    EXPECT_EQ(nivra::ui::PrintWindowContents(window_, printer_, true), PrintOutcome::Cancelled);
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(WindowPrinting, APrintThatCannotStartIsReported) {
    PrintPrompts prompts;
    prompts.ConfirmPrint();
    const std::string pdf = PrintTo("missing/window.pdf");
    EXPECT_EQ(nivra::ui::PrintWindowContents(window_, printer_, true), PrintOutcome::Failed);
    EXPECT_EQ(prompts.MessageTexts(), QStringList{QStringLiteral("Error Printing")});
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowPrinting, ThePictureIsTheCaptionAboveEverythingTheWindowPaints) {
    const QImage picture = nivra::ui::WindowPicture(window_);
    const QImage client = window_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.width(), client.width());
    const int caption = picture.height() - client.height();
    EXPECT_GT(caption, 0);
    EXPECT_EQ(picture.copy(0, caption, client.width(), client.height()), client);
}

} // namespace
