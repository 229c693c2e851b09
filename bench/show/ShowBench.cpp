// Loading the largest shipped show and applying a page.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "Lecture.h"
#include "SkyMarks.h"
#include "SkyModel.h"

namespace {

std::string LargestShow() {
  std::string best;
  uintmax_t size = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::string(SKYLOOM_RUNTIME_DIR) + "/" + ShowFolder))
    if (e.path().extension() == ShowExtension && e.file_size() > size) {
      size = e.file_size();
      best = e.path().string();
    }
  return best;
}

void BM_LoadLargestShow(benchmark::State& state) {
  const std::string path = LargestShow();
  auto lecture = std::make_unique<TLecture>();
  for (auto _ : state) {
    const TShowLoadResult r = lecture->LoadShow(path);
    benchmark::DoNotOptimize(r.Status);
  }
  state.SetLabel(std::filesystem::path(path).filename().string() + ", " +
                 std::to_string(lecture->Count) + " pages");
}
BENCHMARK(BM_LoadLargestShow)->Unit(benchmark::kMillisecond);

void BM_ApplyFrame(benchmark::State& state) {
  auto lecture = std::make_unique<TLecture>();
  auto model = std::make_unique<TSkyloom>();
  auto marks = std::make_unique<TSkyMarks>();
  TPopupSwitches popup;
  lecture->Attach(model.get(), marks.get(), &popup);
  lecture->LoadShow(LargestShow());
  int k = 0;
  for (auto _ : state) {
    lecture->ApplyFrame(k % lecture->Count + 1, true);
    ++k;
    benchmark::DoNotOptimize(marks->StarMarkCount);
  }
}
BENCHMARK(BM_ApplyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
