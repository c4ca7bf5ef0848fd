// Saving and loading data files. A run rewrites its backup data file after every dwell, so a
// save of a record of many points has to stay short.

#include "model/assay_data.h"
#include "model/data_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;

namespace {

// A folder of its own below the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nivra-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

AssayData makeRecord(std::int64_t points) {
    AssayData record(CounterConfig::defaults(), AssayConfig::defaults(), 1);
    record.appendHeaderLine("Start Time: 12/08/25 14:03:07");
    record.appendHeaderLine("Counter Desc: bench counter");
    for (std::int64_t i = 0; i < points; ++i)
        record.appendPoint(static_cast<std::int32_t>((i * 7919) % 250));
    return record;
}

// Each iteration rewrites a file that already holds the same record, as a backup save does.
void BM_DataFileSave(benchmark::State& state) {
    ScratchFolder folder;
    const std::string path = folder.file("backup.dax");
    const AssayData record = makeRecord(state.range(0));
    if (!nivra::saveDataFile(record, path)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(nivra::saveDataFile(record, path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DataFileSave)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_DataFileLoad(benchmark::State& state) {
    ScratchFolder folder;
    const std::string path = folder.file("record.dax");
    if (!nivra::saveDataFile(makeRecord(state.range(0)), path)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        const auto loaded = nivra::readDataFile(path);
        benchmark::DoNotOptimize(loaded->pointCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DataFileLoad)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
