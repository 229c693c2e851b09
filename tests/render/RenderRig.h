// A model, a back buffer and image lists for drawing skies in tests, as the
// main window sets them up: 800-pixel-wide sky area, Scale 533 (or a stage
// of another size, its sky area above the panel at the interface scale).
#pragma once

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ImageList.h"
#include "SkyDraw.h"
#include "SkyMarks.h"
#include "SkyModel.h"

constexpr double DegToRad = M_PI / 180;
constexpr TColor DaySky = RGB(0, 0, 50);

struct TRenderRig {
  std::unique_ptr<TSkyloom> Sky = std::make_unique<TSkyloom>();
  TBackBuffer Buffer{800, 600};
  TCanvas Canvas{Buffer};
  TDXImageList Images, Images1;
  TSkyMarks Marks;
  TPopupSwitches Popup;
  int HoverObject = 0, HoverX = 0, HoverY = 0;
  bool NebulaNames = false;
  double InterfaceScale = 1;         // labels' size and offsets
  // The sky's pictures at ArtScale (null: Images at 1x).
  const TDXImageList* ScaledImages = nullptr;
  double ArtScale = 1;
  TScaledHoverArt* HoverArt = nullptr;
  std::vector<TPlacedLabel> Placed;  // labels the placement pass drew in the last Draw

  TRenderRig() {
    RandomSeed(7);  // the same trees in every run
    InitSkyModel(*Sky);
    Sky->ScreenWidth = 800;
    Sky->ScreenHeight = 432;
    Sky->Scale = 533;
  }
  // A width x height stage whose panel (168 pixels at 1x) is drawn at
  // `scale`; the sky keeps the 800-pixel stage's field of view.
  TRenderRig(int width, int height, double scale) : TRenderRig() {
    Buffer = TBackBuffer(width, height);
    Sky->ScreenWidth = width;
    Sky->ScreenHeight = height - static_cast<int>(std::lround(168 * scale));
    Sky->Scale = static_cast<int32_t>(std::lround(533.0 * width / 800));
    InterfaceScale = scale;
  }

  // Observer place (degrees, east and north positive), zone and local time.
  void Place(double latDeg, double lonDeg, int zone) {
    Sky->Latitude = latDeg * DegToRad;
    Sky->Longitude = lonDeg * DegToRad;
    Sky->TimeZone = zone;
  }
  void When(int y, int mo, int d, int h, int mi, int sec = 0) {
    Sky->Second = sec;
    Sky->Year = y;
    Sky->Month = mo;
    Sky->Day = d;
    Sky->Hour = h;
    Sky->Minute = mi;
  }
  void View(double azDeg, double altDeg) {
    Sky->ViewAz = azDeg * DegToRad;
    Sky->ViewAlt = altDeg * DegToRad;
  }
  // Switch groups as the toolbar sets them.
  void Switches(uint64_t mode1, uint64_t mode2, bool names, bool lines, bool ground) {
    Sky->Mode1 = mode1;
    Sky->Mode2 = mode2;
    Sky->NamesOn = names;
    Sky->LinesOn = lines;
    Sky->GroundOn = ground;
    Sky->DeriveShowFlags();
  }

  // The background DrawFrame chooses: the day sky with the ground on and the
  // Sun up (and nothing hovered), else black.
  TColor Background() const {
    return (Sky->IsDaylight() && HoverObject == 0) ? DaySky : clBlack;
  }
  void Draw() { Draw(Background()); }
  void Draw(TColor background) {
    Buffer.Fill(background);
    TSkyDrawContext ctx{*Sky, Buffer, Canvas, Images, Images1, Marks, Popup, background,
                        HoverObject, HoverX, HoverY, NebulaNames, true};
    ctx.InterfaceScale = InterfaceScale;
    ctx.ScaledImages = ScaledImages;
    ctx.ArtScale = ArtScale;
    ctx.HoverArt = HoverArt;
    Placed.clear();
    ctx.PlacedLabels = &Placed;
    DrawSky(ctx);
  }

  // Pixels of exactly colour c (after the 16-bit round trip) in a box.
  int Count(TColor c, int x0, int y0, int x1, int y1) const {
    const TColor q = TBackBuffer::From565(TBackBuffer::To565(c));
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (x >= 0 && y >= 0 && x < Buffer.Width() && y < Buffer.Height() && Buffer.Get(x, y) == q) ++n;
    return n;
  }
};

inline std::string RuntimeFile(const char* name) {
  return (std::filesystem::path(SKYLOOM_RUNTIME_DIR) / name).string();
}
inline std::string OutputFile(const std::string& name) {
  const auto dir = std::filesystem::path(SKYLOOM_BINARY_DIR) / "render-pictures";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}
