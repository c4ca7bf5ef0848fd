#include "ui/main_window/chart_widget.h"

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <vector>

using nivra::ui::ChartWidget;

namespace {

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override { widget.resize(680, 510); }
    std::string labelOf(int row) { return widget.label(row); }

    QImage paint() {
        QImage image(widget.size(), QImage::Format_RGB32);
        widget.render(&image);
        return image;
    }
    // Pixels of the bar colour in a full paint.
    int barPixels() {
        const QImage image = paint();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(40, 90, 170))
                    ++count;
        return count;
    }

    ChartWidget widget;
};

TEST_F(ChartTest, ShowsSampleContentAndItsTitlesUntilRowsAreSet) {
    EXPECT_TRUE(widget.showsSample());
    EXPECT_EQ(widget.rowCount(), 5);
    EXPECT_EQ(labelOf(1), "R1");
    EXPECT_EQ(widget.title(), QStringLiteral("Corvane Nivra"));
    EXPECT_EQ(widget.categoryAxisTitle(), QStringLiteral("Channel No. :  No. of Counts"));
    EXPECT_EQ(widget.valueAxisTitle(), QStringLiteral("Alpha Counts"));
    EXPECT_GT(barPixels(), 0);
    widget.clear();
    EXPECT_FALSE(widget.showsSample());
    EXPECT_EQ(widget.rowCount(), 0);
    EXPECT_EQ(barPixels(), 0); // an empty plot
}

TEST_F(ChartTest, OnePointIsOneLabelledRow) {
    const std::vector<std::int32_t> counts{12};
    widget.setPoints(counts, 1);
    EXPECT_EQ(widget.rowCount(), 1);
    EXPECT_EQ(widget.value(1), 12);
    EXPECT_EQ(labelOf(1), "1:12");
}

TEST_F(ChartTest, RowsCountFromOneAndAreLabelledWithThePointNumbers) {
    std::vector<std::int32_t> counts;
    for (int i = 1; i <= 10; ++i)
        counts.push_back(i * 10);
    widget.setPoints(counts, 1);
    widget.setPoints(std::span(counts).subspan(2, 3), 3);
    EXPECT_EQ(widget.rowCount(), 3);
    EXPECT_EQ(labelOf(1), "3:30");
    EXPECT_EQ(labelOf(2), "4:40");
    EXPECT_EQ(labelOf(3), "5:50");
    EXPECT_EQ(widget.value(3), 50);
    // Beyond the rows: nothing.
    EXPECT_EQ(widget.value(4), 0);
    EXPECT_EQ(widget.value(0), 0);
    EXPECT_EQ(labelOf(4), "");

    // The chart keeps its own copy of the counts.
    counts[2] = 7;
    EXPECT_EQ(labelOf(1), "3:30");

    // Negative and extreme counts keep their exact text, as does the largest point number.
    const std::vector<std::int32_t> extremes{-2147483647 - 1, 2147483647};
    widget.setPoints(extremes, 2147483646);
    EXPECT_EQ(labelOf(1), "2147483646:-2147483648");
    EXPECT_EQ(labelOf(2), "2147483647:2147483647");
}

TEST_F(ChartTest, AMillionPointsAreAllKeptLabelledAndDrawn) {
    const int n = 1000000;
    std::vector<std::int32_t> counts(n, 1);
    widget.setPoints(counts, 1);
    EXPECT_EQ(widget.rowCount(), n);
    EXPECT_EQ(labelOf(32768), "32768:1");
    EXPECT_EQ(labelOf(n), "1000000:1");

    // One point far above or below the others shows as a spike although about 1,500 points share
    // its pixel column: the first, one in the middle and the last.
    counts.assign(n, 0);
    widget.setPoints(counts, 1);
    const int flat = barPixels();
    for (const int at : {0, 700000, n - 1}) {
        for (const std::int32_t spike : {1000, -1000}) {
            counts.assign(n, 0);
            counts[static_cast<std::size_t>(at)] = spike;
            widget.setPoints(counts, 1);
            EXPECT_GT(barPixels(), flat + 200) << "point " << at << ", count " << spike;
        }
    }

    // A picture of a long run, kept with the build: noise, a slow drift and a few bursts.
    std::uint32_t state = 7;
    for (int i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        counts[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>((state >> 24) % 12 + i / 50000) + ((state & 0xfff) ? 0 : 80);
    }
    widget.setPoints(counts, 1);
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(paint().save(QString::fromStdString(folder + "/chart_million_points.png")));
}

TEST_F(ChartTest, NegativeCountsAndTinySizesPaint) {
    const std::vector<std::int32_t> counts{-5, 3, 0};
    widget.setPoints(counts, 1);
    EXPECT_GT(barPixels(), 0);
    widget.resize(3, 3);
    paint(); // too small for a plot: no crash
}

} // namespace
