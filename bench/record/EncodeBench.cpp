// What one frame of a recording costs the encoder: a turning star field
// over a still panel with text-like detail, at the stage's 800x600 and at
// 1280x720, in MP4 (H.264) and WebM (VP9), with its 1600 samples of sound.
// Items per second are frames per second; 30 is real time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "VideoEncoder.h"

namespace {

struct TStar {
  int X, Y;
  uint32_t Colour;
};

// The sky of frame k: stars moved k pixels to the left (a turning view),
// the lower 168 rows a still panel with fine strokes like text.
void DrawStage(std::vector<uint32_t>& px, int w, int h, const std::vector<TStar>& stars, int k) {
  const int sky = h - 168;
  std::fill(px.begin(), px.begin() + static_cast<long>(w) * sky, 0xFF000010u);
  for (const TStar& s : stars) {
    const int x = ((s.X - k) % w + w) % w;
    if (s.Y < sky) px[static_cast<size_t>(s.Y) * w + x] = s.Colour;
  }
  for (int y = sky; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[static_cast<size_t>(y) * w + x] =
          ((x * 7 + y * 3) % 11 == 0 && y > sky + 40) ? 0xFFE0C080u : 0xFF203050u;
}

void BM_EncodeFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const bool webm = state.range(2) != 0;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("skyloom-bench-" + std::to_string(getpid()) + (webm ? ".webm" : ".mp4")))
                               .string();
  std::mt19937 random(7);
  std::vector<TStar> stars(3000);
  for (TStar& s : stars)
    s = {static_cast<int>(random() % w), static_cast<int>(random() % h),
         static_cast<uint32_t>(0xFF000000u | (random() & 0xFFFFFFu) | 0x808080u)};
  TVideoEncoder enc;
  TVideoSettings settings;
  settings.Width = w;
  settings.Height = h;
  std::string error;
  if (!enc.Open(path, settings, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  std::vector<float> sound(1600, 0.0f);
  int k = 0;
  for (auto _ : state) {
    DrawStage(px, w, h, stars, k++);
    if (!enc.AddFrame(px.data(), w, error) || !enc.AddSound(sound.data(), sound.data(), 1600, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  enc.Finish(error);
  state.SetItemsProcessed(k);
  state.counters["bytes_per_frame"] = k ? static_cast<double>(enc.BytesWritten()) / k : 0;
  std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_EncodeFrame)
    ->ArgNames({"w", "h", "webm"})
    ->Args({800, 600, 0})
    ->Args({1280, 720, 0})
    ->Args({800, 600, 1})
    ->Args({1280, 720, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
