// The sixteen statistics of a large record. They are recomputed whenever they are shown.

#include "model/assay_data.h"
#include "model/assessment.h"
#include "model/class_decision.h"
#include "model/statistics.h"
#include "model/stats_show.h"

#include <benchmark/benchmark.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::StatsShow;

namespace {

AssayData makeRecord(std::int64_t points) {
    AssayConfig assay = AssayConfig::defaults();
    assay.backgroundRate = 2.0;
    AssayData record(CounterConfig::defaults(), assay, 1);
    for (std::int64_t i = 0; i < points; ++i)
        record.appendPoint(static_cast<std::int32_t>((i * 7919) % 250));
    return record;
}

// The statistics block as the statistics list and the CSV export build it: all sixteen texts
// from one consistent state of the record.
void BM_Statistics(benchmark::State& state) {
    const AssayData record = makeRecord(state.range(0));
    const StatsShow all;
    for (auto _ : state) {
        auto block = nivra::statisticsBlock(record, all);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Statistics)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same sixteen texts asked for one by one through the record's text operations, each of
// which recomputes what it needs.
void BM_StatisticTextsOneByOne(benchmark::State& state) {
    const AssayData record = makeRecord(state.range(0));
    for (auto _ : state) {
        for (std::size_t i = 0; i < nivra::kStatisticCount; ++i) {
            std::string text = record.statisticText(nivra::statisticAt(i));
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StatisticTextsOneByOne)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

// The class decision of a live view at its worst: a sample whose net rate sits on the limit, so
// that no number of further dwells decides and the search runs to its bound.
void BM_ClassDecisionUndecidable(benchmark::State& state) {
    AssayConfig assay = AssayConfig::defaults();
    assay.backgroundRate = 10.0;
    const std::vector<std::int32_t> counts(100, 60);
    const nivra::Assessment first =
        nivra::assess(counts, assay, CounterConfig::defaults(), nivra::AssessmentSettings{});
    assay.classLimit = first.netRate;
    for (auto _ : state) {
        auto decision = nivra::decideClassOfPoints(counts, assay, CounterConfig::defaults());
        benchmark::DoNotOptimize(decision);
    }
}
BENCHMARK(BM_ClassDecisionUndecidable)->Unit(benchmark::kMillisecond);
