// Speed of the body table and of the per-point transforms of a sky update.
#include <benchmark/benchmark.h>

#include <vector>

#include "DateFrame.h"
#include "Moon.h"
#include "Planets.h"
#include "SolarSystem.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

// The whole body table: Earth, Moon, eight planets, reduction, magnitudes.
void BM_SolarSystemUpdate(benchmark::State& state) {
  long double d = 9557.5625L;
  TBodyTable table;
  for (auto _ : state) {
    SolarSystemUpdate(table, d);
    benchmark::DoNotOptimize(table.Body(BodyMoon).Lon);
    d += 0.01L;
  }
}
BENCHMARK(BM_SolarSystemUpdate)->Unit(benchmark::kMicrosecond);

void BM_EarthPosition(benchmark::State& state) {
  double jd = 2461101.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EarthPosition(jd));
    jd += 0.01;
  }
}
BENCHMARK(BM_EarthPosition)->Unit(benchmark::kMicrosecond);

void BM_MoonPosition(benchmark::State& state) {
  double jd = 2461101.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonPosition(jd));
    jd += 0.01;
  }
}
BENCHMARK(BM_MoonPosition)->Unit(benchmark::kMicrosecond);

void BM_EightPlanets(benchmark::State& state) {
  double jd = 2461101.0;
  for (auto _ : state) {
    for (const TPlanetTable* t : PlanetTables) benchmark::DoNotOptimize(PlanetPosition(*t, jd));
    jd += 0.01;
  }
}
BENCHMARK(BM_EightPlanets)->Unit(benchmark::kMicrosecond);

// 9,000 points (stars, boundaries, circles): direction, apparent place of
// date, horizontal frame, visibility, view and perspective.
void BM_PrecessAndProject9000(benchmark::State& state) {
  std::vector<TSkyPoint> points(9000);
  for (size_t i = 0; i < points.size(); ++i) {
    points[i].Lon = static_cast<double>(i) * 0.7548776662;
    points[i].Lat = static_cast<double>(i % 181) * 0.0174532925 - 1.5707963;
  }
  TProjection view;
  view.SiderealTime = -60220.149046644001;
  view.Latitude = 0.6981317007977318;
  view.ViewAz = 0.3;
  view.ViewAlt = 0.6981317007977318;
  view.Scale = 533;
  view.GroundShown = true;
  const int n = static_cast<int>(points.size());
  const TDateFrame frame = DateFrameOf(9557.5625);
  for (auto _ : state) {
    SetDirections(points, 1, n);
    ApparentPlaces(points, 1, n, frame);
    ProjectPoints(points, 1, n, view);
    benchmark::DoNotOptimize(points.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PrecessAndProject9000)->Unit(benchmark::kMicrosecond);

}  // namespace
