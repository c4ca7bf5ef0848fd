// The main window grows beyond its layout, which stays its smallest size: the chart and the lists
// take the room, nothing comes to overlap; the companion windows open as top-level windows clear
// of its menu bar.

#include "main_window_fixture.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/dialogs/history_dlg.h"
#include "ui/main_window/counters_window.h"

#include <QMenuBar>
#include <filesystem>

using namespace nivra;
using namespace nivra::test;
namespace res = nivra::res;

namespace {

class WindowSizeTest : public MainWindowTest {
protected:
    std::vector<QRect> placesOfControls() const {
        std::vector<QRect> places;
        for (const QWidget* control :
             window_->client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            places.push_back(control->geometry());
        return places;
    }
    void savePicture(const char* name) {
        const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
        std::filesystem::create_directories(folder);
        QCoreApplication::processEvents();
        EXPECT_TRUE(window_->grab().save(QString::fromStdString(folder + "/" + name)));
    }
};

TEST_F(WindowSizeTest, ALargerWindowGrowsTheChartAndListsAndNothingComesToOverlap) {
    open();
    openInViewer(writeDataFile("seven", {3, 1, 4, 1, 5, 9, 2}, {"first line", "second line"}));
    window_->show();
    const QSize smallest = window_->minimumSize();
    ASSERT_EQ(window_->size(), smallest);
    EXPECT_GE(window_->maximumWidth(), 4 * smallest.width());
    const std::vector<QRect> before = placesOfControls();
    const QRect chart = chartWidget()->geometry();
    const QRect header = window_->ui().headerList->geometry();
    const QRect dump = window_->ui().dataDump->geometry();

    for (const QSize extra : {QSize(1, 1), QSize(401, 253), QSize(900, 0), QSize(0, 700)}) {
        window_->resize(smallest + extra);
        const std::vector<QRect> after = placesOfControls();
        ASSERT_EQ(after.size(), before.size());
        const QRect client = window_->client()->rect();
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_TRUE(client.contains(after[i])) << i;
            for (std::size_t j = i + 1; j < after.size(); ++j) {
                if (!before[i].intersects(before[j])) {
                    EXPECT_FALSE(after[i].intersects(after[j])) << i << " " << j;
                }
            }
        }
        EXPECT_EQ(chartWidget()->width(), chart.width() + extra.width());
        EXPECT_EQ(chartWidget()->height(), chart.height() + extra.height());
        const int listsGrew = window_->ui().headerList->height() - header.height() +
                              window_->ui().dataDump->height() - dump.height();
        EXPECT_GE(listsGrew, extra.height() - 1);
    }
    window_->resize(smallest + QSize(400, 250));
    savePicture("main_window_larger.png");
    window_->resize(smallest - QSize(100, 100));
    EXPECT_EQ(window_->size(), smallest) << "never smaller than its layout";
    window_->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_GE(chartWidget()->width(), chart.width());
    savePicture("main_window_maximised.png");
}

TEST_F(WindowSizeTest, CompanionWindowsAreTopLevelAndOpenClearOfTheMenuBar) {
    open();
    window_->move(30, 20);
    window_->show();
    QCoreApplication::processEvents();
    const QMenuBar* bar = window_->menu()->bar();
    const QRect menuBar(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    choose(res::Command::Assessment);
    choose(res::Command::History);
    choose(res::Command::CountersWindow);
    QCoreApplication::processEvents();
    const std::pair<const char*, const QWidget*> companions[] = {
        {"Assessment", window_->assessmentDialog()},
        {"History", window_->historyDialog()},
        {"Counters", &window_->counters()}};
    for (const auto& [name, companion] : companions) {
        ASSERT_NE(companion, nullptr) << name;
        EXPECT_TRUE(companion->isVisible()) << name;
        EXPECT_EQ(companion->windowType(), Qt::Window) << name;
        EXPECT_FALSE(companion->frameGeometry().intersects(menuBar)) << name;
    }
}

} // namespace
