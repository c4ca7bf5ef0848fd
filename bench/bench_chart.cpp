// The chart's cost per frame: during a run the main window gives the chart all points once a
// second, so one frame is setting the points plus one complete paint at the chart's size in the
// main window.
#if defined(NIVRA_HAVE_UI)

#include "ui/main_window/chart_widget.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"
#include "ui/resources/resource_ids.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

using nivra::ui::ChartWidget;

namespace {

void ensureApplication() {
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "nivra-bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// Counts as a run produces them: a few per dwell, now and then a burst.
std::vector<std::int32_t> sampleCounts(int n) {
    std::vector<std::int32_t> counts(static_cast<std::size_t>(n));
    std::uint32_t state = 12345;
    for (auto& c : counts) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<std::int32_t>((state >> 24) % 20);
        if ((state & 0xfff) == 0)
            c += 500;
    }
    return counts;
}

void BM_ShowPoints(benchmark::State& state) {
    ensureApplication();
    const int n = static_cast<int>(state.range(0));
    const std::vector<std::int32_t> counts = sampleCounts(n);

    // The chart control of the main window: 455 x 314 dialog units in the window's font.
    const nivra::res::DialogTemplate* main =
        nivra::res::findDialogTemplate(nivra::res::kDialogMain);
    const QFont font = nivra::res::dialogFont(*main);
    const QRect rect =
        nivra::res::mapDialogRect(nivra::res::baseUnitsForFont(font), 2, 29, 455, 314);

    ChartWidget widget;
    widget.setFont(font);
    widget.resize(rect.size());
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);

    for (auto _ : state) {
        widget.setPoints(counts, 1);
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["width"] = rect.width();
    state.counters["height"] = rect.height();
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_ShowPoints)->Arg(32767)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

#endif
