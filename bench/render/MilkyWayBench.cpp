// Cost of drawing the Milky Way into one turning frame (the view moves a
// degree each time, so nothing is reused) at 800x600 and 1920x1080: the
// summer sky from Beijing, the band across the screen, the ground off.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "Canvas.h"
#include "MilkyWayDraw.h"
#include "SkyModel.h"

namespace {

// The summer sky from Beijing at 22:00 on a w x h stage with the view at
// (azimuth, altitude) in degrees, its Milky Way map loaded and the sky
// updated. The sky area lies above an 800-unit panel scaled to the width,
// with the field of the 800x600 stage.
std::unique_ptr<TSkyloom> SummerSky(benchmark::State& state, int w, int h, double az, double alt) {
  auto sky = std::make_unique<TSkyloom>();
  InitSkyModel(*sky);
  LoadMilkyWayFrom(sky->MilkyWayMap,
                   (std::filesystem::path(SKYLOOM_RUNTIME_DIR) / MilkyWayFileName).string());
  if (sky->MilkyWayMap.Empty()) state.SkipWithError("MilkyWay.dat missing");
  sky->ScreenWidth = w;
  sky->ScreenHeight = h * 432 / 600;
  sky->Scale = w * 2 / 3;
  sky->Latitude = 39.9 * M_PI / 180;
  sky->Longitude = 116.4 * M_PI / 180;
  sky->Year = 2026;
  sky->Month = 8;
  sky->Day = 22;
  sky->Hour = 22;
  sky->ViewAz = az * M_PI / 180;
  sky->ViewAlt = alt * M_PI / 180;
  sky->DeriveShowFlags();
  sky->UpdateSky();
  return sky;
}

void BM_MilkyWay(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto sky = SummerSky(state, w, h, 0, 50);
  TBackBuffer buffer(w, h);
  int step = 0;
  for (auto _ : state) {
    sky->ViewAz = (++step % 360) * M_PI / 180;
    DrawMilkyWay(buffer, *sky, 1.0);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_MilkyWay)->Args({800, 600})->Args({1920, 1080})->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// Time flowing under a still view: every frame the sky turns under the
// stage (ten minutes a frame), so the galactic frame of the moment is found
// again as well.
void BM_MilkyWayTimeFlow(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto sky = SummerSky(state, w, h, 10, 40);
  TBackBuffer buffer(w, h);
  const double day = sky->DayNumber, sidereal = sky->SiderealTime;
  int step = 0;
  for (auto _ : state) {
    const int k = ++step % 144;
    sky->DayNumber = day + k / 144.0;
    sky->SiderealTime = std::fmod(sidereal + k * 2 * M_PI / 144 * 1.0027379, 2 * M_PI);
    DrawMilkyWay(buffer, *sky, 1.0);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_MilkyWayTimeFlow)->Args({800, 600})->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
