// Cost of one sky update over the full catalogue and of one DrawSky at
// 800x600 with every layer on (the frame period is 33 ms), and of a full-HD
// DrawSky with the sky's pictures at their own size or at the scale.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "Canvas.h"
#include "ImageList.h"
#include "SkyDraw.h"
#include "SkyLight.h"
#include "SkyMarks.h"
#include "SkyModel.h"
#include "StarColours.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

std::string Runtime(const char* name) {
  return (std::filesystem::path(SKYLOOM_RUNTIME_DIR) / name).string();
}

// Beijing, a January evening, looking south-east at 35 degrees.
std::unique_ptr<TSkyloom> MakeSky(benchmark::State& state) {
  auto sky = std::make_unique<TSkyloom>();
  RandomSeed(7);
  InitSkyModel(*sky);
  if (!LoadStarDataFrom(*sky, Runtime(StarDataFileName))) state.SkipWithError("StarData.dat missing");
  sky->ScreenWidth = 800;
  sky->ScreenHeight = 432;
  sky->Scale = 533;
  sky->Latitude = 39.9 * M_PI / 180;
  sky->Longitude = 116.4 * M_PI / 180;
  sky->TimeZone = 8;
  sky->Year = 2026;
  sky->Month = 1;
  sky->Day = 15;
  sky->Hour = 21;
  sky->Minute = 0;
  sky->ViewAz = 20 * M_PI / 180;
  sky->ViewAlt = 35 * M_PI / 180;
  sky->Mode1 = 0x3F;
  sky->Mode2 = 0x1F00;
  sky->NamesOn = sky->LinesOn = sky->GroundOn = 1;
  sky->DeriveShowFlags();
  return sky;
}

void BM_UpdateSky(benchmark::State& state) {
  auto sky = MakeSky(state);
  int minute = 0;
  for (auto _ : state) {
    sky->Minute = (++minute) % 60;  // a new moment every time, as time flows
    sky->UpdateSky();
    benchmark::DoNotOptimize(sky->Stars[1].X);
  }
}
BENCHMARK(BM_UpdateSky)->Unit(benchmark::kMicrosecond);

// The update of a frame that only turns the view: the clock stands, so the
// body table and the directions of date are kept from the update before.
// Argument: refraction on (1, the default) or off (0).
void BM_UpdateSkyTurning(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->Refraction = static_cast<uint8_t>(state.range(0));
  for (auto _ : state) {
    sky->ViewAz += 4 * M_PI / 180;
    sky->UpdateSky();
    benchmark::DoNotOptimize(sky->Stars[1].X);
  }
}
BENCHMARK(BM_UpdateSkyTurning)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// A turning frame, update and drawing, at a field of view (argument,
// degrees): the default perspective, and the bent projection of the whole
// sky (more stars and labels on the screen, and the bend for each point).
void BM_TurningFrameAtField(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->FieldOfView = state.range(0) > 0 ? static_cast<double>(state.range(0)) : DefaultFieldOfView;
  ApplyFieldOfView(*sky);
  sky->LabelPlacement = sky->RealisticSky = 1;
  LoadStarColoursFrom(*sky, Runtime(StarColourFileName));
  sky->UpdateSky();
  TBackBuffer buffer(800, 600);
  TCanvas canvas(buffer);
  TDXImageList images, images1;
  if (!images.LoadFromFile(Runtime("LoadImg.rxf"))) state.SkipWithError("LoadImg.rxf missing");
  images1.LoadFromFile(Runtime("Messia2.rxf"));
  TSkyMarks marks;
  TPopupSwitches popup;
  TSkyDrawContext ctx{*sky, buffer, canvas, images, images1, marks, popup, clBlack,
                      0, 650, 100, true, true};
  for (auto _ : state) {
    sky->ViewAz += 1 * M_PI / 180;
    sky->UpdateSky();
    buffer.Fill(clBlack);
    DrawSky(ctx);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_TurningFrameAtField)->Arg(0)->Arg(120)->Arg(180)->Unit(benchmark::kMicrosecond);

// Every layer, hovered Moon picture, selected Orion. Argument: 1 with the
// label placement pass and the realistic sky (the program's default), 0
// with both off (the drawing as it was before them).
void BM_DrawSky(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->LabelPlacement = sky->RealisticSky = state.range(0) ? 1 : 0;
  LoadStarColoursFrom(*sky, Runtime(StarColourFileName));
  sky->SelConst = 0;
  for (int c = 1; c <= MaxConsts; ++c)
    if (sky->Consts[c].EShort.view() == "Ori") sky->SelConst = c;
  sky->UpdateSky();
  TBackBuffer buffer(800, 600);
  TCanvas canvas(buffer);
  TDXImageList images, images1;
  if (!images.LoadFromFile(Runtime("LoadImg.rxf"))) state.SkipWithError("LoadImg.rxf missing");
  images1.LoadFromFile(Runtime("Messia2.rxf"));
  TSkyMarks marks;
  TPopupSwitches popup;
  popup.ConstellationBoundary = popup.ConstellationHighlight = popup.ConstellationLines =
      popup.ConstellationGreekNames = true;
  TSkyDrawContext ctx{*sky, buffer, canvas, images, images1, marks, popup, clBlack,
                      202, 650, 100, true, true};
  for (auto _ : state) {
    buffer.Fill(clBlack);
    DrawSky(ctx);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_DrawSky)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The realistic sky at its dearest: every layer with the graded twilight
// sky (Beijing, Sun 8 degrees down, looking west), and the Dallas eclipse
// with the day sky and both discs magnified.
void DrawScene(benchmark::State& state, TSkyloom& sky) {
  LoadStarColoursFrom(sky, Runtime(StarColourFileName));
  sky.UpdateSky();
  TBackBuffer buffer(800, 600);
  TCanvas canvas(buffer);
  TDXImageList images, images1;
  if (!images.LoadFromFile(Runtime("LoadImg.rxf"))) state.SkipWithError("LoadImg.rxf missing");
  TSkyMarks marks;
  TPopupSwitches popup;
  TLabelPass labels;  // owned by the caller, as the main form does
  TSkyDrawContext ctx{sky, buffer, canvas, images, images1, marks, popup};
  ctx.Labels = &labels;
  for (auto _ : state) {
    buffer.Fill(clBlack);
    DrawSky(ctx);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
void BM_DrawSkyTwilight(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->Month = 3;
  sky->Day = 20;
  sky->Hour = 19;
  sky->Minute = 5;
  sky->ViewAz = 270 * M_PI / 180;
  sky->ViewAlt = 20 * M_PI / 180;
  DrawScene(state, *sky);
}
BENCHMARK(BM_DrawSkyTwilight)->Unit(benchmark::kMicrosecond);
void BM_DrawSkyEclipse(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->Latitude = 32.8 * M_PI / 180;
  sky->Longitude = -96.8 * M_PI / 180;
  sky->TimeZone = -5;
  sky->Year = 2024;
  sky->Month = 4;
  sky->Day = 8;
  sky->Hour = 13;
  sky->Minute = 0;
  sky->ViewAz = 20 * M_PI / 180;  // toward the Sun, 20 degrees east of south and 60 up
  sky->ViewAlt = 60 * M_PI / 180;
  DrawScene(state, *sky);
  if (!ComputeSkyLight(*sky).Eclipse) state.SkipWithError("no eclipse drawn");
}
BENCHMARK(BM_DrawSkyEclipse)->Unit(benchmark::kMicrosecond);

// Looking level so that the ground, boards and trees are drawn too.
void BM_DrawSkyWithGround(benchmark::State& state) {
  auto sky = MakeSky(state);
  sky->ViewAlt = 0;
  sky->UpdateSky();
  TBackBuffer buffer(800, 600);
  TCanvas canvas(buffer);
  TDXImageList images, images1;
  if (!images.LoadFromFile(Runtime("LoadImg.rxf"))) state.SkipWithError("LoadImg.rxf missing");
  TSkyMarks marks;
  TPopupSwitches popup;
  TSkyDrawContext ctx{*sky, buffer, canvas, images, images1, marks, popup};
  for (auto _ : state) {
    buffer.Fill(clBlack);
    DrawSky(ctx);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_DrawSkyWithGround)->Unit(benchmark::kMicrosecond);


// One DrawSky on a 1920x1080 stage (interface scale 1.75), every layer and
// the ground on, the label placement pass and the realistic sky as the
// program has them, looking 10 degrees up over the ground with its boards
// and trees: the sky's pictures (star shine, planets, clouds, the Sun,
// trees, boards) drawn from the 1x library at their own size (argument 0)
// or at the scale from the larger libraries (argument 1). The difference is
// what the larger pictures cost a full-HD frame.
void BM_DrawSky1920Art(benchmark::State& state) {
  constexpr double Scale = 1.75;
  auto sky = MakeSky(state);
  LoadStarColoursFrom(*sky, Runtime(StarColourFileName));
  sky->ScreenWidth = 1920;
  sky->ScreenHeight = 1080 - static_cast<int>(std::lround(168 * Scale));
  ApplyFieldOfView(*sky);
  sky->ViewAlt = 10 * M_PI / 180;
  sky->LabelPlacement = sky->RealisticSky = 1;
  sky->DeriveShowFlags();
  sky->UpdateSky();
  TBackBuffer buffer(1920, 1080);
  TCanvas canvas(buffer);
  TDXImageList images, images1;
  if (!images.LoadFromFile(Runtime("LoadImg.rxf"))) state.SkipWithError("LoadImg.rxf missing");
  // The larger libraries are read from the program's folder.
  if (chdir(SKYLOOM_RUNTIME_DIR) != 0) state.SkipWithError("no runtime folder");
  TScaledPanelArt art;
  const TDXImageList& scaled = art.For(images, Scale);
  if (state.range(0) && &scaled == &images) state.SkipWithError("LoadImg2x.rxf missing");
  TSkyMarks marks;
  TPopupSwitches popup;
  TLabelPass labels;
  TSkyDrawContext ctx{*sky, buffer, canvas, images, images1, marks, popup};
  ctx.Labels = &labels;
  ctx.InterfaceScale = Scale;
  if (state.range(0)) {
    ctx.ScaledImages = &scaled;
    ctx.ArtScale = Scale;
  }
  for (auto _ : state) {
    buffer.Fill(clBlack);
    DrawSky(ctx);
    benchmark::DoNotOptimize(buffer.Pixels()[0]);
  }
}
BENCHMARK(BM_DrawSky1920Art)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
