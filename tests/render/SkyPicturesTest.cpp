// Whole skies drawn from the real catalogue and image library, saved as PNG
// pictures under <build>/render-pictures for people to look at, and each
// checked by a few robust facts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Gbk.h"
#include "Png.h"
#include "ScreenGeometry.h"
#include "RenderRig.h"
#include "SolarSystem.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

constexpr uint64_t AllNames = 0x3F, AllLines = 0x1F00;

struct SkyPictures : ::testing::Test {
  TRenderRig Rig;
  TSkyloom& S = *Rig.Sky;

  void SetUp() override {
    if (!LoadStarDataFrom(S, RuntimeFile(StarDataFileName)))
      GTEST_SKIP() << "StarData.dat is not built yet (runtime target)";
    if (!Rig.Images.LoadFromFile(RuntimeFile("LoadImg.rxf")) || Rig.Images.Find("StarShine") < 0)
      GTEST_SKIP() << "LoadImg.rxf is not built yet (runtime target)";
    Rig.Images1.LoadFromFile(RuntimeFile("Messia2.rxf"));
  }

  void Save(const std::string& name) {
    std::string error;
    EXPECT_TRUE(SavePng(Rig.Buffer, OutputFile(name), error)) << error;
  }
  int ConstNumber(const char* abbreviation) const {
    for (int c = 1; c <= MaxConsts; ++c)
      if (S.Consts[c].EShort.view() == abbreviation) return c;
    return 0;
  }
  // Turns the view onto right ascension and declination of date.
  void Face(double ra, double dec) {
    const TVector3 h = HorizontalDirection(ra, dec, S);
    S.ViewAz = AngleOf(h.X, h.Y);
    S.ViewAlt = NormalizeSigned(AngleOf(std::hypot(h.X, h.Y), h.Z));
    S.UpdateSky();
  }
  // Pixels that differ between the buffer and `other` in a box.
  int Changed(const TBackBuffer& other, int x0, int y0, int x1, int y1, int* right = nullptr) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (Rig.Buffer.Get(x, y) != other.Get(x, y)) {
          ++n;
          if (right && x > *right) *right = x;
        }
    return n;
  }
};

// Beijing looking south on a January evening: Orion's figure and name.
TEST_F(SkyPictures, BeijingOrionChineseAndEnglish) {
  Rig.Place(39.9, 116.4, 8);
  Rig.When(2026, 1, 15, 21, 0);
  Rig.View(0, 40);
  Rig.Switches(SkyBits::ConstNames, SkyBits::ConstLines, true, true, true);
  S.UpdateSky();
  const int ori = ConstNumber("Ori");
  ASSERT_GT(ori, 0);
  EXPECT_EQ(GbkToUtf8(S.Consts[ori].Name.view()), "猎户座");
  EXPECT_EQ(S.Consts[ori].EName.str(), "Orion");
  const TSkyObject& o = S.Consts[ori];
  ASSERT_EQ(o.HasLabel, 1);
  EXPECT_GT(o.LabelX, 100);
  EXPECT_LT(o.LabelX, 700);
  EXPECT_GT(o.LabelY, 30);
  EXPECT_LT(o.LabelY, 400);

  // Figure lines of Orion in the figure colour around its stars.
  Rig.Draw();
  Save("beijing_orion_zh.png");
  int x0 = 800, x1 = 0, y0 = 432, y1 = 0;
  for (int k = 1; k <= S.StarCount; ++k) {
    const TSkyPoint& p = S.Stars[k];
    if (p.Owner != ori || !IsShownInside(S, p) || p.Mag > 45) continue;
    x0 = std::min(x0, ScreenX(S, p));
    x1 = std::max(x1, ScreenX(S, p));
    y0 = std::min(y0, ScreenY(S, p));
    y1 = std::max(y1, ScreenY(S, p));
  }
  ASSERT_LT(x0, x1);
  EXPECT_GT(Rig.Count(RGB(150, 150, 0), x0, y0, x1, y1), 150);

  // The label: drawn where the anchor is, as wide as its text.
  const int lx = RoundPixel(o.LabelX), ly = RoundPixel(o.LabelY);
  const TBackBuffer zh = Rig.Buffer;
  Rig.Switches(0, SkyBits::ConstLines, true, true, true);
  S.UpdateSky();
  Rig.Draw();
  const TBackBuffer bare = Rig.Buffer;
  Rig.Buffer = zh;
  int rightZh = 0;
  EXPECT_GT(Changed(bare, lx, ly, lx + 60, ly + 14, &rightZh), 30);
  const int widthZh = Rig.Canvas.TextWidth(S.Consts[ori].Name.str());
  EXPECT_NEAR(rightZh - lx, widthZh, 4);

  S.English = 1;
  Rig.Switches(SkyBits::ConstNames, SkyBits::ConstLines, true, true, true);
  S.UpdateSky();
  Rig.Draw();
  Save("beijing_orion_en.png");
  int rightEn = 0;
  EXPECT_GT(Changed(bare, lx, ly, lx + 60, ly + 14, &rightEn), 20);
  EXPECT_NEAR(rightEn - lx, Rig.Canvas.TextWidth("Orion"), 4);
  EXPECT_GT(Changed(zh, lx, ly, lx + 60, ly + 14), 20);  // a different text
}

// The total solar eclipse of 2024-04-08 from Dallas at 13:41 CDT: Sun and
// Moon together in the day sky, the new Moon's dark disc on the Sun.
TEST_F(SkyPictures, DallasEclipse) {
  Rig.Place(32.8, -96.8, -5);
  Rig.When(2024, 4, 8, 13, 41);
  Rig.Switches(SkyBits::PlanetNames, 0, true, false, true);
  S.RealisticSky = 0;    // the navy day sky; the eclipse still drawn true
  S.ScreenHeight = 564;  // panel down: more sky
  S.UpdateSky();
  Face(S.Planets[BodySun].Lon, S.Planets[BodySun].Lat - 20 * DegToRad);  // Sun in the upper half
  const TSkyPoint& sun = S.Planets[BodySun];
  const TSkyPoint& moon = S.Planets[BodyMoon];
  ASSERT_TRUE(IsShownInside(S, sun));
  ASSERT_TRUE(IsShownInside(S, moon));
  EXPECT_TRUE(S.IsDaylight());
  const int dx = ScreenX(S, sun) - ScreenX(S, moon), dy = ScreenY(S, sun) - ScreenY(S, moon);
  EXPECT_LE(std::hypot(dx, dy), 3) << "Sun and Moon apart by " << dx << ", " << dy;
  EXPECT_NEAR(S.MoonPhase, M_PI, 0.05);  // new Moon
  Rig.Draw();
  Save("dallas_eclipse_2024.png");
  EXPECT_EQ(Rig.Background(), DaySky);
  // The Moon's disc in the day-sky colour covers the Sun's centre; the
  // Sun's glow shows around it.
  const int sx = ScreenX(S, moon), sy = ScreenY(S, moon);
  EXPECT_GT(Rig.Count(DaySky, sx - 6, sy - 6, sx + 6, sy + 6), 100);
  EXPECT_GT(61 * 61 - Rig.Count(DaySky, sx - 30, sy - 30, sx + 30, sy + 30), 400);
  // Sun and Moon are drawn at their true size ratio: the Moon's disc,
  // larger than the Sun's, leaves none of the Sun's own yellow.
  EXPECT_EQ(Rig.Count(RGB(255, 255, 0), sx - 12, sy - 12, sx + 12, sy + 12), 0);
  // Looking level toward the Sun's azimuth the ground is there.
  S.ViewAlt = 0;
  S.UpdateSky();
  Rig.Draw();
  Save("dallas_eclipse_ground.png");
  EXPECT_LT(Rig.Count(DaySky, 0, 300, 799, 563), 800 * 264 / 4);
  EXPECT_GT(Rig.Count(DaySky, 0, 0, 799, 200), 800 * 200 / 2);
}

// Full and crescent Moons are lit on the side facing the Sun.
TEST_F(SkyPictures, MoonPhasesFaceTheSun) {
  const struct { const char* Name; int Y, Mo, D, H, Mi; int MinLit, MaxLit; bool Full; } cases[] = {
      {"moon_full", 2026, 1, 3, 21, 0, 220, 400, true},
      {"moon_young_crescent", 2026, 1, 23, 18, 0, 8, 150, false},
      {"moon_old_crescent", 2026, 1, 14, 6, 30, 8, 150, false},
  };
  Rig.Place(39.9, 116.4, 8);
  Rig.Switches(0, 0, false, false, false);
  const TColor yellow = RGB(255, 255, 0);
  for (const auto& c : cases) {
    Rig.When(c.Y, c.Mo, c.D, c.H, c.Mi);
    S.UpdateSky();
    Face(S.Planets[BodyMoon].Lon, S.Planets[BodyMoon].Lat);
    Rig.Draw();
    Save(std::string(c.Name) + ".png");
    const TSkyPoint& m = S.Planets[BodyMoon];
    const TSkyPoint& sun = S.Planets[BodySun];
    ASSERT_TRUE(IsShownInside(S, m)) << c.Name;
    const int mx = ScreenX(S, m), my = ScreenY(S, m);
    double cx = 0, cy = 0;
    int n = 0;
    for (int y = my - 12; y <= my + 12; ++y)
      for (int x = mx - 12; x <= mx + 12; ++x)
        if (Rig.Buffer.Get(x, y) == TBackBuffer::From565(TBackBuffer::To565(yellow))) {
          cx += x - mx;
          cy += y - my;
          ++n;
        }
    EXPECT_GE(n, c.MinLit) << c.Name;
    EXPECT_LE(n, c.MaxLit) << c.Name;
    if (n == 0) continue;
    cx /= n;
    cy /= n;
    if (c.Full) {
      EXPECT_LT(std::hypot(cx, cy), 1.5) << c.Name;
      continue;
    }
    // The lit side's centroid points toward the Sun's place on screen (the
    // Sun lies some 30..90 degrees away, in front of the viewer).
    ASSERT_GT(sun.Z, 0) << c.Name;
    const double tx = ScreenX(S, sun) - mx, ty = ScreenY(S, sun) - my;
    const double cosine = (cx * tx + cy * ty) / (std::hypot(cx, cy) * std::hypot(tx, ty));
    EXPECT_GT(cosine, std::cos(35 * DegToRad)) << c.Name;
  }
}

// The south celestial pole from Sydney stands above the south point at the
// latitude's height; the hour circles meet there.
TEST_F(SkyPictures, SydneySouthPole) {
  Rig.Place(-33.87, 151.21, 10);
  Rig.When(2026, 1, 15, 22, 0);
  Rig.View(0, 33.87);
  Rig.Switches(SkyBits::ConstNames | SkyBits::StarNames, AllLines, true, true, true);
  S.UpdateSky();
  const TVector3 pole = HorizontalDirection(0, -M_PI / 2, S);
  EXPECT_NEAR(std::asin(pole.Z) / DegToRad, 33.87, 0.3);  // precession moves it a little
  EXPECT_NEAR(NormalizeSigned(AngleOf(pole.X, pole.Y)), 0, 0.01);  // due south
  Rig.Draw();
  Save("sydney_south_pole.png");
  EXPECT_GT(Rig.Count(RGB(64, 64, 64), 385, 201, 415, 231), 25);
  EXPECT_EQ(S.Consts[ConstNumber("Oct")].HasLabel, 1);
  const TSkyObject& oct = S.Consts[ConstNumber("Oct")];
  EXPECT_LT(std::hypot(oct.LabelX - 400, oct.LabelY - 216), 120);
  EXPECT_EQ(S.Consts[ConstNumber("UMa")].HasLabel, 0);  // never up from Sydney's south
}

// Looking level all around: eight direction boards on the horizon, each at
// its compass point.
TEST_F(SkyPictures, GroundBoardsAtCompassPoints) {
  if (Rig.Images.Find("BoardList") < 0 || Rig.Images.Find("Ground") < 0)
    GTEST_SKIP() << "LoadImg.rxf without ground pictures";
  Rig.Place(39.9, 116.4, 8);
  Rig.When(2026, 1, 15, 21, 0);
  Rig.Switches(0, 0, false, false, true);
  S.StarLimit = -1;  // a plain black sky behind the boards
  for (int t = 1; t <= 50; ++t) S.Scenery[t].Lat = 0;  // no trees in front of them
  const int boardImage = Rig.Images.Find("BoardList");
  // Board frames, as ImageNames::BoardCaptions name them, by view azimuth
  // (south through east).
  const struct { int Az; int Frame; const char* Caption; } expected[] = {
      {0, 3, "南"}, {45, 1, "东南"}, {90, 0, "东"}, {135, 2, "东北"},
      {180, 7, "北"}, {225, 5, "西北"}, {270, 6, "西"}, {315, 4, "西南"}};
  TBackBuffer frame(800, 600);
  for (const auto& e : expected) {
    Rig.View(e.Az, 0);
    S.UpdateSky();
    Rig.Draw(clBlack);
    Save("ground_az" + std::to_string(e.Az) + ".png");
    int best = -1, bestDiff = 1 << 30;
    for (int f = 0; f < 8; ++f) {
      frame.Fill(clBlack);
      Rig.Images.Draw(frame, boardImage, 377, 173, f);
      int diff = 0;
      for (int y = 173; y < 216; ++y)
        for (int x = 377; x < 423; ++x) diff += Rig.Buffer.Get(x, y) != frame.Get(x, y);
      if (diff < bestDiff) {
        bestDiff = diff;
        best = f;
      }
    }
    EXPECT_EQ(best, e.Frame) << "view azimuth " << e.Az << " should show " << e.Caption;
    EXPECT_EQ(bestDiff, 0) << "view azimuth " << e.Az;
    // The ground covers the lower half of the sky area.
    EXPECT_LT(Rig.Count(clBlack, 0, 217, 799, 431), 800 * 215 / 10);
  }
  // Looking steeply down the ground fills the sky area; looking up, none.
  Rig.View(0, -70);
  S.UpdateSky();
  Rig.Draw(clBlack);
  Save("ground_looking_down.png");
  EXPECT_LT(Rig.Count(clBlack, 0, 0, 799, 431), 800 * 432 / 10);
  Rig.View(0, 89.999);
  S.UpdateSky();
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 431), 800 * 432);
}

// With the star limit at 0 or below no Messier objects or planets are
// drawn, and only the stars brighter than magnitude 0 (Sirius, -1.4, is the
// brightest); below -1.4 the sky is empty.
TEST_F(SkyPictures, StarLimitAtOrBelowZero) {
  Rig.Place(39.9, 116.4, 8);
  Rig.When(2026, 1, 15, 21, 0);
  Rig.View(0, 40);
  Rig.Switches(0, 0, false, false, false);
  S.UpdateSky();
  Rig.Draw(clBlack);
  const int all = 800 * 432;
  EXPECT_LT(Rig.Count(clBlack, 0, 0, 799, 431), all - 2000);
  S.StarLimit = 0;
  S.UpdateSky();
  Rig.Draw(clBlack);
  const int dark = Rig.Count(clBlack, 0, 0, 799, 431);
  EXPECT_LT(dark, all);
  EXPECT_GT(dark, all - 3 * 400);  // a couple of star images
  S.StarLimit = -15;
  S.UpdateSky();
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 431), all);
}

// A frame with every layer on: nothing breaks, and the picture is kept.
TEST_F(SkyPictures, EveryLayerOn) {
  Rig.Place(39.9, 116.4, 8);
  Rig.When(2026, 1, 15, 21, 0);
  Rig.View(20, 35);
  Rig.Switches(AllNames, AllLines, true, true, true);
  S.SelConst = ConstNumber("Ori");
  Rig.Popup.ConstellationBoundary = true;
  Rig.Popup.ConstellationHighlight = true;
  Rig.NebulaNames = true;
  S.UpdateSky();
  Rig.HoverObject = 201 + 1;  // the Moon's picture under the pointer
  Rig.HoverX = 650;
  Rig.HoverY = 100;
  Rig.Draw();
  Save("beijing_all_layers.png");
  EXPECT_GT(Rig.Count(RGB(0, 150, 150), 0, 0, 799, 431), 100);  // Orion's boundary
  // The hovered Moon's picture around the pointer.
  if (Rig.Images1.Find("Sun2") >= 0) {
    const TBackBuffer hovered = Rig.Buffer;
    Rig.HoverObject = 0;
    Rig.Draw();
    EXPECT_GT(Changed(hovered, 610, 60, 690, 140), 1000);
  }
}

}  // namespace
