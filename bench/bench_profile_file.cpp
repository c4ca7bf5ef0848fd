#include "base/profile_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

using nivra::ProfileFile;

// Writes N keys through one profile object and reads them back through a second one.
static void BM_ProfileWriteKeys(benchmark::State& state) {
    char folder[] = "/tmp/nivra-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const std::string path = std::string(folder) + "/keys.pfx";
    const int keys = static_cast<int>(state.range(0));
    for (auto _ : state) {
        {
            ProfileFile writer(path);
            for (int i = 0; i < keys; ++i)
                writer.writeString(std::to_string(i), "K" + std::to_string(i), "SECTION");
        }
        ProfileFile reader(path);
        std::size_t total = 0;
        for (int i = 0; i < keys; ++i)
            total += reader.readString("K" + std::to_string(i), "SECTION").size();
        benchmark::DoNotOptimize(total);
        ::unlink(path.c_str());
    }
    ::rmdir(folder);
    state.SetItemsProcessed(state.iterations() * keys);
}
BENCHMARK(BM_ProfileWriteKeys)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
