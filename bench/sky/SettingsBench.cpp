// Reading the settings file grows linearly with its size: a file of n
// distinct values (up to the 1 MiB the reader takes) is opened and one value
// looked up. Compare the time per byte across the sizes.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "FileIo.h"
#include "SettingsStore.h"

namespace {

void BM_OpenSettingsOfNValues(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "skyloom-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string text = "[\\Software\\Skyloom\\]\n";
  for (int64_t i = 0; i < state.range(0); ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "\"V%08lld\"=dword:%08llx\n", static_cast<long long>(i),
                  static_cast<long long>(i));
    text += line;
  }
  WriteFileAtomic(folder + "/" + SettingsFileName, text);
  for (auto _ : state) {
    TSettingsKey key;
    key.Open(folder, "\\Software\\Skyloom\\", false);
    int32_t v = 0;
    benchmark::DoNotOptimize(key.ReadInteger("V00000000", v));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  std::filesystem::remove_all(folder);
}
// 1,000 to 40,000 values: 27 KB to about 1 MiB.
BENCHMARK(BM_OpenSettingsOfNValues)->Arg(1000)->Arg(10000)->Arg(38000)->Unit(benchmark::kMillisecond);

}  // namespace
