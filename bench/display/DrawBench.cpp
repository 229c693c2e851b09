// Drawing costs of one busy frame on the 800x600 back buffer: star sprites
// with alpha, figure lines, cached labels, and turned pictures.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ImageList.h"
#include "ImageNames.h"

namespace {

// A small fixed pseudo-random sequence, the same in every run.
struct Lcg {
  uint32_t s = 12345;
  int Next(int n) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<uint32_t>(n));
  }
};

TDXImageList Sprites() {
  std::vector<LibraryImage> images;
  const char* names[] = {"S3", "S5", "S7", "S9", "S32"};
  const int sizes[] = {3, 5, 7, 9, 32};
  for (int n = 0; n < 5; ++n) {
    const int size = sizes[n];
    LibraryImage im;
    im.Name = names[n];
    im.FrameWidth = im.FrameHeight = size;
    im.FrameCount = 1;
    const double r = size / 2.0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const double dx = x + 0.5 - r, dy = y + 0.5 - r, d = (dx * dx + dy * dy) / (r * r);
        const uint32_t a = d >= 1 ? 0 : static_cast<uint32_t>(255 * (1 - d));
        im.Pixels.push_back((a << 24) | 0xFFF0D0);
      }
    images.push_back(im);
  }
  TDXImageList list;
  list.Assign(std::move(images));
  return list;
}

std::vector<std::string> Labels() {
  // GBK: 南 京 北 斗 天 狼 星 织 女
  const char* hanzi[] = {"\xC4\xCF", "\xBE\xA9", "\xB1\xB1", "\xB6\xB7", "\xCC\xEC",
                         "\xC0\xC7", "\xD0\xC7", "\xD6\xAF", "\xC5\xAE"};
  std::vector<std::string> labels;
  Lcg rng;
  for (int i = 0; i < 200; ++i) {
    std::string s;
    for (int k = 0, n = 2 + rng.Next(3); k < n; ++k) s += hanzi[rng.Next(9)];
    s += std::to_string(i);
    labels.push_back(s);
  }
  return labels;
}

struct Scene {
  TBackBuffer buffer{800, 600};
  TCanvas canvas{buffer};
  TDXImageList sprites = Sprites();
  std::vector<std::string> labels = Labels();
  struct Pt {
    int x, y, image;
  };
  std::vector<Pt> stars, lineEnds;
  Scene() {
    Lcg rng;
    for (int i = 0; i < 3000; ++i) stars.push_back({rng.Next(820) - 10, rng.Next(620) - 10, rng.Next(4)});
    for (int i = 0; i < 1500; ++i) {
      const int x = rng.Next(800), y = rng.Next(600);
      lineEnds.push_back({x, y, 0});
      lineEnds.push_back({x + rng.Next(121) - 60, y + rng.Next(121) - 60, 0});
    }
    canvas.Font.Name = "\xCB\xCE\xCC\xE5";
    canvas.Font.Height = -12;
    canvas.Font.Color = RGB(255, 255, 0);
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.Pen.Color = RGB(0, 128, 255);
  }
  void Stars() {
    for (const Pt& s : stars) sprites.Draw(buffer, s.image, s.x, s.y, 0);
  }
  void Lines() {
    for (size_t i = 0; i < lineEnds.size(); i += 2) {
      canvas.MoveTo(lineEnds[i].x, lineEnds[i].y);
      canvas.LineTo(lineEnds[i + 1].x, lineEnds[i + 1].y);
    }
  }
  void Texts() {
    for (size_t i = 0; i < labels.size(); ++i)
      canvas.TextOut(stars[i].x, stars[i].y, labels[i]);
  }
};

void BM_BusyFrame(benchmark::State& state) {
  Scene s;
  s.Texts();   // labels rendered once, as after the first frame
  for (auto _ : state) {
    s.buffer.Fill(RGB(0, 0, 32));
    s.Lines();
    s.Texts();
    s.Stars();
    benchmark::DoNotOptimize(s.buffer.Pixels());
  }
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond);

void BM_Sprites3000(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    s.Stars();
    benchmark::DoNotOptimize(s.buffer.Pixels());
  }
}
BENCHMARK(BM_Sprites3000)->Unit(benchmark::kMicrosecond);

void BM_Lines1500(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    s.Lines();
    benchmark::DoNotOptimize(s.buffer.Pixels());
  }
}
BENCHMARK(BM_Lines1500)->Unit(benchmark::kMicrosecond);

void BM_CachedLabels200(benchmark::State& state) {
  Scene s;
  s.Texts();
  for (auto _ : state) {
    s.Texts();
    benchmark::DoNotOptimize(s.buffer.Pixels());
  }
}
BENCHMARK(BM_CachedLabels200)->Unit(benchmark::kMicrosecond);

// For comparison: the same labels rendered afresh (a new canvas has an
// empty cache; its font is opened before the timing starts).
void BM_UncachedLabels200(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    state.PauseTiming();
    auto fresh = std::make_unique<TCanvas>(s.buffer);
    fresh->Font = s.canvas.Font;
    fresh->Brush.Style = TBrushStyle::Clear;
    fresh->TextWidth("");
    state.ResumeTiming();
    for (size_t i = 0; i < s.labels.size(); ++i) fresh->TextOut(s.stars[i].x, s.stars[i].y, s.labels[i]);
    benchmark::DoNotOptimize(s.buffer.Pixels());
    state.PauseTiming();
    fresh.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UncachedLabels200)->Unit(benchmark::kMillisecond);

void BM_Rotate50Dials(benchmark::State& state) {
  Scene s;
  int angle = 0;
  for (auto _ : state) {
    for (int i = 0; i < 50; ++i)
      s.sprites.DrawRotate(s.buffer, 4, 20 + i * 15, 300, 48, 48, 0, 0.5, 0.5, angle + i * 7);
    ++angle;
    benchmark::DoNotOptimize(s.buffer.Pixels());
  }
}
BENCHMARK(BM_Rotate50Dials)->Unit(benchmark::kMicrosecond);

// The compass of a full-HD panel (the 2x picture reduced to the 1.75x of
// a 1920x1080 stage) turned to a new angle in every frame, as while the
// view turns; and standing still.
void BM_CompassFullHd(benchmark::State& state) {
  TDXImageList art;
  if (!art.LoadFromFile((std::filesystem::path(SKYLOOM_RUNTIME_DIR) / TScaledPanelArt::File2x).string())) {
    state.SkipWithError("LoadImg2x.rxf missing");
    return;
  }
  const LibraryImage* comp = art.Image(art.Find(ImageNames::Comp));
  if (!comp) {
    state.SkipWithError("no compass picture");
    return;
  }
  TDXImageList list;
  list.Assign({ReduceImage(*comp, 1.75 / 2)});
  TBackBuffer buffer(1920, 1080);
  const bool turning = state.range(0) != 0;
  int angle = 0;
  for (auto _ : state) {
    list.DrawRotate(buffer, 0, 500, 960, list.Width(0), list.Height(0), 0, 0.5, 0.5, angle);
    if (turning) ++angle;
    benchmark::DoNotOptimize(buffer.Pixels());
  }
}
BENCHMARK(BM_CompassFullHd)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_FloodFillScreen(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    state.PauseTiming();
    s.buffer.Fill(RGB(0, 0, 0));
    s.canvas.Ellipse(100, 100, 700, 500);
    state.ResumeTiming();
    s.canvas.Brush.Style = TBrushStyle::Solid;
    s.canvas.Brush.Color = RGB(0, 60, 0);
    s.canvas.FloodFill(0, 0, RGB(0, 128, 255));
    s.canvas.Brush.Style = TBrushStyle::Clear;
  }
}
BENCHMARK(BM_FloodFillScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
