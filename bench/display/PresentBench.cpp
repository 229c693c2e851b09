// The present of a frame through SDL's software renderer into a window of
// the "offscreen" video driver (set SDL_VIDEODRIVER=x11 with a DISPLAY to
// measure a real window): the window at the stage's size, full screen at
// 1280x800 letterboxed with linear and nearest scaling, a full-HD stage
// filling its window (the projector's full screen), and the capture of
// a shot. The stage is a busy picture, not a flat one, so that no copy is
// cheaper than in a real frame.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "Screen.h"

namespace {

void Paint(TDXDraw& d) {
  TBackBuffer& b = d.Buffer();
  uint16_t* p = b.Pixels();
  for (int i = 0; i < b.Width() * b.Height(); ++i) p[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
}

bool Open(TDXDraw& d, benchmark::State& state, int w, int h, const char* quality) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SDL_SetHintWithPriority(SDL_HINT_RENDER_SCALE_QUALITY, quality, SDL_HINT_OVERRIDE);
  if (!d.Initialize("present", 0, 0, false) || !d.Renderer()) {
    state.SkipWithError("no window");
    return false;
  }
  if (w != d.Width() || h != d.Height()) {
    SDL_SetWindowSize(d.Window(), w, h);
    SDL_PumpEvents();  // the renderer takes the new size from the window's event
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  Paint(d);
  d.Flip();
  return true;
}

void BM_PresentWindow800x600(benchmark::State& state) {
  TDXDraw d;
  if (!Open(d, state, 800, 600, "linear")) return;
  for (auto _ : state) d.Flip();
}
BENCHMARK(BM_PresentWindow800x600)->Unit(benchmark::kMicrosecond);

void BM_PresentFullScreen1280x800Linear(benchmark::State& state) {
  TDXDraw d;
  if (!Open(d, state, 1280, 800, "linear")) return;
  for (auto _ : state) d.Flip();
}
BENCHMARK(BM_PresentFullScreen1280x800Linear)->Unit(benchmark::kMicrosecond);

void BM_PresentFullScreen1280x800Nearest(benchmark::State& state) {
  TDXDraw d;
  if (!Open(d, state, 1280, 800, "nearest")) return;
  for (auto _ : state) d.Flip();
}
BENCHMARK(BM_PresentFullScreen1280x800Nearest)->Unit(benchmark::kMicrosecond);

void BM_PresentStage1920x1080(benchmark::State& state) {
  TDXDraw d(1920, 1080);
  if (!Open(d, state, 1920, 1080, "linear")) return;
  for (auto _ : state) d.Flip();
}
BENCHMARK(BM_PresentStage1920x1080)->Unit(benchmark::kMicrosecond);

void BM_CaptureShot(benchmark::State& state) {
  TDXDraw d;
  if (!Open(d, state, 800, 600, "linear")) return;
  std::vector<uint32_t> shot;
  for (auto _ : state) benchmark::DoNotOptimize(d.Capture(shot));
}
BENCHMARK(BM_CaptureShot)->Unit(benchmark::kMicrosecond);

}  // namespace
