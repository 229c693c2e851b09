// One DrawSky on a 1920x1080 stage (interface scale 1.75), every layer and
// the ground on, the label placement pass and the realistic sky as the
// program has them: the sky's pictures (star shine, planets, clouds, the
// Sun, trees, boards) drawn from the 1x library at their own size
// (argument 0) or at the scale from the larger libraries (argument 1). The
// difference is what the larger pictures cost a full-HD frame.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "Canvas.h"
#include "ImageList.h"
#include "SkyDraw.h"
#include "SkyMarks.h"
#include "SkyModel.h"
#include "StarColours.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

std::string Runtime(const char* name) {
  return (std::filesystem::path(SKYLOOM_RUNTIME_DIR) / name).string();
}

// Beijing, a January evening, looking south-east 10 degrees up: the stars
// of Orion and Taurus over the ground with its boards and trees.
void BM_DrawSky1920Art(benchmark::State& state) {
  constexpr double Scale = 1.75;
  auto sky = std::make_unique<TSkyloom>();
  RandomSeed(7);
  InitSkyModel(*sky);
  if (!LoadStarDataFrom(*sky, Runtime(StarDataFileName))) state.SkipWithError("StarData.dat missing");
  LoadStarColoursFrom(*sky, Runtime(StarColourFileName));
  sky->ScreenWidth = 1920;
  sky->ScreenHeight = 1080 - static_cast<int>(std::lround(168 * Scale));
  ApplyFieldOfView(*sky);
  sky->Latitude = 39.9 * M_PI / 180;
  sky->Longitude = 116.4 * M_PI / 180;
  sky->TimeZone = 8;
  sky->Year = 2026;
  sky->Month = 1;
  sky->Day = 15;
  sky->Hour = 21;
  sky->Minute = 0;
  sky->ViewAz = 20 * M_PI / 180;
  sky->ViewAlt = 10 * M_PI / 180;
  sky->Mode1 = 0x3F;
  sky->Mode2 = 0x1F00;
  sky->NamesOn = sky->LinesOn = sky->GroundOn = 1;
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
