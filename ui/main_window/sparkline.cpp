#include "ui/main_window/sparkline.h"

#include "ui/main_window/counter_rows.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace nivra::ui {

Sparkline::Sparkline(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kBarPitch * 10 + 2 * kMargin, 12);
}

void Sparkline::setCounts(std::vector<std::int32_t> counts) {
    if (counts == counts_)
        return;
    counts_ = std::move(counts);
    update();
}

void Sparkline::paintEvent(QPaintEvent*) {
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (area.width() < kBarWidth || area.height() < 1)
        return;
    const auto room = static_cast<std::size_t>((area.width() + 1) / kBarPitch);
    const std::vector<double> levels = sparklineLevels(counts_, room);
    if (levels.empty())
        return;
    // A few points get wider bars; many get the narrowest.
    const int pitch =
        std::clamp((area.width() + 1) / static_cast<int>(levels.size()), kBarPitch, kWidestPitch);
    QPainter painter(this);
    const QColor bar = palette().color(QPalette::Highlight);
    // A point of 0 still shows as a line on the floor, so a dead counter is seen as such.
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int height = std::max(1, static_cast<int>(std::lround(levels[i] * area.height())));
        const int x = area.left() + static_cast<int>(i) * pitch;
        painter.fillRect(x, area.bottom() + 1 - height, pitch - 1, height, bar);
    }
}

} // namespace nivra::ui
