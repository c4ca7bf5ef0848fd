// The drawn control chart: the runs that break a rule stand out in red, the others do not, and
// the picture is kept in build/artifacts for a look.
#include "model/control_chart.h"
#include "render/control_chart_painter.h"

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <gtest/gtest.h>

using namespace nivra;

namespace {

// Runs of one hour each around 100 counts an hour, the first ten the reference.
ControlChart chartOf(const std::vector<double>& counts) {
    std::vector<ChartRun> runs;
    for (std::size_t i = 0; i < counts.size(); ++i)
        runs.push_back({static_cast<std::int64_t>(i + 1), "2026-12-0" + std::to_string(i % 9 + 1),
                        counts[i], 1.0, i < 10});
    return *buildControlChart(runs);
}

// Pixels of the colour of flagged runs (pure enough red: the action limit lines are thinner
// and the same colour, so the count is compared between pictures).
int redPixels(const QImage& image) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 150 && c.green() < 40 && c.blue() < 40;
        }
    return red;
}

QImage paint(const ControlChart& chart, const QString& title) {
    QImage image(900, 420, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    render::paintControlChart(painter, image.rect(), chart, title);
    painter.end();
    return image;
}

TEST(ControlChartPainter, MarksTheRunsThatBreakARule) {
    const std::vector<double> calm{100, 104, 97, 101, 95, 103, 99, 102, 98, 101, 100, 96, 104, 99};
    std::vector<double> hot = calm;
    hot[11] = 160; // beyond +3
    hot[12] = 30;  // beyond -3, further than the scale's edge of 4
    const ControlChart quiet = chartOf(calm);
    const ControlChart flagged = chartOf(hot);
    ASSERT_EQ(quiet.flaggedRuns(), 0u);
    ASSERT_GE(flagged.flaggedRuns(), 2u);

    const QImage quietImage = paint(quiet, QStringLiteral("Control chart: counter 1, background"));
    const QImage flaggedImage =
        paint(flagged, QStringLiteral("Control chart: counter 1, background"));
    // Two dots of radius 4.5 and their flags' text: far more red than the limit lines alone.
    EXPECT_GT(redPixels(flaggedImage), redPixels(quietImage) + 60);

    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(flaggedImage.save(QString::fromStdString(folder + "/control_chart.png")));
}

TEST(ControlChartPainter, DrawsAnEmptyChartWithoutRuns) {
    ControlChart empty;
    empty.meanRate = 20700.0;
    const QImage image = paint(empty, QStringLiteral("Control chart"));
    EXPECT_FALSE(image.isNull());
}

} // namespace
