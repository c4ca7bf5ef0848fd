#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

namespace nivra::ui {

// A small bar chart of a run's points, one bar per point (or per group of points when there
// are more points than room), scaled from 0 to the highest point: whether a counter counts
// steadily, and whether a burst or a dead stretch happened, at a glance.
class Sparkline final : public QWidget {
    Q_OBJECT
public:
    explicit Sparkline(QWidget* parent = nullptr);

    void setCounts(std::vector<std::int32_t> counts);
    const std::vector<std::int32_t>& counts() const { return counts_; }

    QSize sizeHint() const override { return {kBarPitch * 40 + 2 * kMargin, 18}; }

    // Each bar is at least this many pixels wide, with one pixel between bars; while there is
    // room, bars are wider, up to kWidestPitch pixels from one bar to the next.
    static constexpr int kBarWidth = 2;
    static constexpr int kBarPitch = kBarWidth + 1;
    static constexpr int kWidestPitch = 8;
    static constexpr int kMargin = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::int32_t> counts_;
};

} // namespace nivra::ui
