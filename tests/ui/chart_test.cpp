#include "ui/main_window/chart_control.h"
#include "ui/main_window/chart_points.h"
#include "ui/main_window/chart_widget.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        widget.resize(680, 510);
        chart.Bind(&widget);
    }
    std::string LabelOf(int row) { return widget.Label(row); }

    // Pixels of the bar colour in a full paint.
    int BarPixels() {
        QImage image(widget.size(), QImage::Format_RGB32);
        widget.render(&image);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(40, 90, 170))
                    ++count;
        return count;
    }

    CChartWidget widget;
    CMschart1 chart;
};

TEST_F(ChartTest, ShowsSampleContentAndItsTitlesUntilRowsAreSet) {
    EXPECT_TRUE(widget.ShowsSample());
    EXPECT_EQ(chart.GetRowCount(), 5);
    EXPECT_EQ(widget.Title(), QStringLiteral("Corvane Nivra"));
    EXPECT_EQ(widget.CategoryAxisTitle(), QStringLiteral("Channel No. :  No. of Counts"));
    EXPECT_EQ(widget.ValueAxisTitle(), QStringLiteral("Alpha Counts"));
    EXPECT_GT(BarPixels(), 0);
    ClearChartPoints(chart);
    EXPECT_FALSE(widget.ShowsSample());
    EXPECT_EQ(chart.GetRowCount(), 0);
    EXPECT_EQ(BarPixels(), 0); // an empty plot
}

TEST_F(ChartTest, OnePointIsOneLabelledRow) {
    const std::vector<std::int32_t> counts{12};
    ShowChartPoints(chart, counts, 1, 1);
    EXPECT_EQ(chart.GetRowCount(), 1);
    EXPECT_EQ(widget.Value(1), 12.0);
    EXPECT_EQ(LabelOf(1), "1:12");
}

TEST_F(ChartTest, ARangeBecomesRowsFromOneLabelledWithThePointNumbers) {
    std::vector<std::int32_t> counts;
    for (int i = 1; i <= 10; ++i)
        counts.push_back(i * 10);
    ShowChartPoints(chart, counts, 1, 10);
    ShowChartPoints(chart, counts, 3, 5);
    EXPECT_EQ(chart.GetRowCount(), 3);
    EXPECT_EQ(LabelOf(1), "3:30");
    EXPECT_EQ(LabelOf(2), "4:40");
    EXPECT_EQ(LabelOf(3), "5:50");
    EXPECT_EQ(widget.Value(3), 50.0);
    EXPECT_EQ(widget.Value(4), 0.0); // beyond the rows

    // After the last point of a record was deleted the caller passes 1 to 0.
    ShowChartPoints(chart, {}, 1, 0);
    EXPECT_EQ(chart.GetRowCount(), 0);
    // A range reaching past the record is cut to it.
    ShowChartPoints(chart, counts, 9, 15);
    EXPECT_EQ(chart.GetRowCount(), 2);
    EXPECT_EQ(LabelOf(2), "10:100");
    // Negative and extreme counts keep their exact text.
    const std::vector<std::int32_t> extremes{-2147483647 - 1, 2147483647};
    ShowChartPoints(chart, extremes, 1, 2);
    EXPECT_EQ(LabelOf(1), "1:-2147483648");
    chart.SetRow(2);
    EXPECT_EQ(chart.GetData(), "2147483647");
    EXPECT_EQ(chart.GetRowLabel(), "2:2147483647");
}

TEST_F(ChartTest, MoreThan32767PointsAreAllKeptLabelledAndDrawn) {
    const int n = 100000;
    std::vector<std::int32_t> counts(n, 1);
    ShowChartPoints(chart, counts, 1, n);
    EXPECT_EQ(chart.GetRowCount(), n);
    EXPECT_EQ(LabelOf(32767), "32767:1");
    EXPECT_EQ(LabelOf(32768), "32768:1");
    EXPECT_EQ(LabelOf(n), "100000:1");

    // One point far above the others, past the 16-bit row numbers, still shows as a spike
    // although 147 points share its pixel column.
    counts.assign(n, 0);
    ShowChartPoints(chart, counts, 1, n);
    const int flat = BarPixels();
    counts[70000] = 1000;
    ShowChartPoints(chart, counts, 1, n);
    EXPECT_GT(BarPixels(), flat + 200);
}

TEST_F(ChartTest, PropertyWritesOutsideTheRowsOrUnboundAreHarmless) {
    chart.SetRowCount(2);
    chart.SetRow(3);
    chart.SetData("5");
    chart.SetRowLabel("x");
    chart.SetRow(0);
    chart.SetData("5");
    EXPECT_EQ(widget.Value(1), 0.0);
    EXPECT_EQ(widget.Value(2), 0.0);
    chart.SetRow(1);
    chart.SetData("not a number");
    EXPECT_EQ(chart.GetData(), "0");
    chart.SetData(" 7.5");
    EXPECT_EQ(chart.GetData(), "7.5");
    chart.SetRowCount(-4);
    EXPECT_EQ(chart.GetRowCount(), 0);

    CMschart1 unbound;
    unbound.SetRowCount(3);
    unbound.SetData("1");
    EXPECT_EQ(unbound.GetRowCount(), 0);
    EXPECT_EQ(unbound.GetRowLabel(), "");
}

TEST_F(ChartTest, NegativeCountsAndTinySizesPaint) {
    const std::vector<std::int32_t> counts{-5, 3, 0};
    ShowChartPoints(chart, counts, 1, 3);
    EXPECT_GT(BarPixels(), 0);
    widget.resize(3, 3);
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image); // too small for a plot: no crash
}

} // namespace
