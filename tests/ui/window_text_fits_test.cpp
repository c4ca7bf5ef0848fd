// Nothing on the screen is cut off: with the fonts the program installs, every statistic label
// and value of a worst-case record fits its column, and every button caption fits its button,
// in the main window and in every dialog.

#include "main_window_fixture.h"
#include "ui/controls/multiline_button.h"
#include "ui/controls/template_dialog.h"
#include "ui/resources/resource_ids.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

// The captions of buttons in the dialog that do not fit, each with its button's width.
QStringList cutButtons(const QWidget& dialog) {
    QStringList cut;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        bool fits = false;
        if (const auto* multiline = qobject_cast<const ui::MultilineButton*>(button)) {
            const QRect room = multiline->captionRect();
            const QRect needed =
                metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, button->text());
            fits = room.contains(needed);
        } else {
            fits = metrics.horizontalAdvance(button->text()) <= button->width() - 4;
        }
        if (!fits)
            cut << QString("%1 (%2 px)").arg(button->text()).arg(button->width());
    }
    return cut;
}

QStringList cutItems(const QListWidget& list) {
    QStringList cut;
    const QFontMetrics metrics(list.font());
    for (int i = 0; i < list.count(); ++i)
        if (metrics.horizontalAdvance(list.item(i)->text()) > list.viewport()->width() - 4)
            cut << list.item(i)->text();
    return cut;
}

class TextFitsTest : public MainWindowTest {};

TEST_F(TextFitsTest, EveryStatisticOfAWorstCaseRecordAndEveryButtonFits) {
    open();
    // Five points summing to 4294967295 over 34 h 47 min 21 s: a CPH of about 123456789.
    CounterConfig counter = CounterConfig::defaults();
    AssayConfig assay = AssayConfig::defaults();
    assay.totalHours = 34;
    assay.totalMinutes = 47;
    assay.totalSeconds = 21;
    AssayData record(counter, assay, -1);
    for (int k = 0; k < 5; ++k)
        record.appendPoint(858993459);
    const std::string path = dir_.file("worst.dax");
    ASSERT_TRUE(nivra::saveDataFile(record, path));
    openInViewer(path);
    showAllStatistics();
    window_->show();
    window_->ui().allData->click();

    const auto* labels = window_->ui().statsLabels;
    const auto* values = window_->ui().statsValues;
    ASSERT_EQ(values->count(), 16);
    EXPECT_TRUE(values->findItems("4294967295", Qt::MatchExactly).size() == 1);
    EXPECT_EQ(cutItems(*labels), QStringList());
    EXPECT_EQ(cutItems(*values), QStringList());
    EXPECT_GE(values->font().pointSizeF(), 7.5) << "readable";
    EXPECT_EQ(labels->font(), values->font()) << "rows side by side";
    EXPECT_EQ(cutButtons(*window_), QStringList());
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_->grab().save(QString::fromStdString(folder + "/worst_case_record.png")));
}

TEST(DialogTextFits, EveryButtonOfEveryDialogFits) {
    for (const res::DialogTemplate* t : {&res::aboutTemplate(), &res::counterConfigTemplate(),
                                         &res::assayConfigTemplate(), &res::runConfigTemplate()}) {
        nivra::ui::TemplateDialog dialog(*t, nullptr);
        EXPECT_EQ(cutButtons(dialog), QStringList()) << t->caption;
    }
}

} // namespace
