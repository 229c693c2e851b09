// The Milky Way seen through the view: where its brightest light falls on
// the screen, the dark clouds, the fading by the sky's light and the
// user's switch, the horizon, and pictures of summer, winter and the
// Magellanic Clouds saved under <build>/render-pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "MilkyWayDraw.h"
#include "Png.h"
#include "RenderRig.h"
#include "SkyLight.h"
#include "StarColours.h"
#include "StarData.h"

namespace {

int Light(const TBackBuffer& b, int x, int y) {
  const uint16_t p = b.Pixels()[static_cast<size_t>(y) * b.Width() + x];
  return (p >> 11) + ((p >> 5) & 63) / 2 + (p & 31);
}

double AngleBetween(double l1, double b1, double l2, double b2) {
  const double c = std::sin(b1) * std::sin(b2) + std::cos(b1) * std::cos(b2) * std::cos(l1 - l2);
  return std::acos(std::clamp(c, -1.0, 1.0));
}

struct MilkyWayDraw : ::testing::Test {
  TRenderRig Rig;
  TSkyloom& S = *Rig.Sky;

  void SetUp() override {
    LoadMilkyWayFrom(S.MilkyWayMap, RuntimeFile(MilkyWayFileName));
    if (S.MilkyWayMap.Empty()) GTEST_SKIP() << "MilkyWay.dat is not built yet (runtime target)";
    S.RealisticSky = 1;
  }
  void Scene(double lat, double lon, int zone, int y, int mo, int d, int h, double az, double alt,
             bool ground = false) {
    Rig.Place(lat, lon, zone);
    Rig.When(y, mo, d, h, 0);
    Rig.View(az, alt);
    Rig.Switches(0, 0, false, false, ground);
    S.UpdateSky();
  }
  // The Milky Way alone on black.
  void DrawAlone() {
    Rig.Buffer.Fill(clBlack);
    DrawMilkyWay(Rig.Buffer, S, 1.0);
  }
  // Mean light of the pixels within `radius` degrees of galactic (l, b).
  double LightAt(double lDeg, double bDeg, double radius = 1.5) {
    const TGalacticTurn turn = GalacticTurnOf(S);
    long sum = 0, n = 0;
    for (int y = 0; y < S.ScreenHeight; y += 2)
      for (int x = 0; x < S.ScreenWidth; x += 2) {
        double l, b;
        GalacticAtScreen(S, turn, x, y, l, b);
        if (AngleBetween(l, b, lDeg * DegToRad, bDeg * DegToRad) < radius * DegToRad) {
          sum += Light(Rig.Buffer, x, y);
          ++n;
        }
      }
    EXPECT_GT(n, 20) << "l=" << lDeg << " b=" << bDeg << " is not on the screen";
    return n ? static_cast<double>(sum) / n : 0;
  }
  void Save(const std::string& name) {
    std::string error;
    EXPECT_TRUE(SavePng(Rig.Buffer, OutputFile(name), error)) << error;
  }
};

TEST_F(MilkyWayDraw, BrightestLightLiesTowardSagittarius) {
  // Beijing, 22 August 2026 at 22:00, looking south: the bulge low in the
  // south-west.
  Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 15, 25);
  DrawAlone();
  int best = -1, bx = 0, by = 0;
  for (int y = 0; y < S.ScreenHeight; ++y)
    for (int x = 0; x < S.ScreenWidth; ++x) {
      // A 5x5 box evens out the dither.
      if (x < 2 || y < 2 || x >= S.ScreenWidth - 2 || y >= S.ScreenHeight - 2) continue;
      int sum = 0;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) sum += Light(Rig.Buffer, x + dx, y + dy);
      if (sum > best) {
        best = sum;
        bx = x;
        by = y;
      }
    }
  double l, b;
  GalacticAtScreen(S, GalacticTurnOf(S), bx, by, l, b);
  EXPECT_LT(AngleBetween(l, b, 0, 0), 12 * DegToRad)
      << "brightest at l=" << l / DegToRad << " b=" << b / DegToRad;
}

TEST_F(MilkyWayDraw, DarkCloudsShowDarkerThanTheBandBesideThem) {
  // Sydney, 15 April 2026 at 22:00: Crux high in the south.
  Scene(-33.87, 151.21, 10, 2026, 4, 15, 22, 0, 50);
  DrawAlone();
  const double coalsack = LightAt(301, -1);
  EXPECT_LT(coalsack, 0.8 * LightAt(295, -1));
  EXPECT_LT(coalsack, 0.8 * LightAt(307.5, -1));
  // Beijing in August, Aquila overhead: the Rift splits the band.
  Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 0, 70);
  DrawAlone();
  EXPECT_LT(LightAt(45, 1.5), 0.85 * LightAt(45, -4.5));
}

TEST_F(MilkyWayDraw, FadesWithTheSkyAndFollowsItsSwitches) {
  Scene(39.9, 116.4, 8, 2026, 8, 12, 22, 15, 25);  // a new Moon
  EXPECT_DOUBLE_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 1.0);
  S.StarLimit = 45;  // only the stars to magnitude 4.5
  EXPECT_NEAR(MilkyWayStrength(S, ComputeSkyLight(S)), 0.4, 1e-9);
  S.StarLimit = 30;
  EXPECT_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 0);
  S.StarLimit = 100;
  S.MilkyWay = 0;
  EXPECT_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 0);
  S.MilkyWay = 1;
  S.ShowFlags &= ~SkyBits::MilkyWay;  // a show page without it
  EXPECT_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 0);
  // By day none, in twilight a little, with the realistic sky.
  Scene(39.9, 116.4, 8, 2026, 8, 12, 15, 15, 25, true);
  EXPECT_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 0);
  S.RealisticSky = 0;  // the navy day sky
  EXPECT_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 0);
  S.RealisticSky = 1;
  bool twilight = false;
  for (int m = 19 * 60; m < 21 * 60 && !twilight; m += 2) {
    Rig.When(2026, 8, 12, m / 60, m % 60);
    S.UpdateSky();
    const double s = MilkyWayStrength(S, ComputeSkyLight(S));
    twilight = s > 0 && s < 0.7;
  }
  EXPECT_TRUE(twilight) << "no weak Milky Way in the evening twilight";
}

TEST(Moonlight, LimitFollowsPhaseAndHeight) {
  EXPECT_EQ(MoonlightLimit(-5 * DegToRad, 1.0), 1000) << "a Moon below the horizon";
  EXPECT_EQ(MoonlightLimit(60 * DegToRad, 0.0), 1000) << "a new Moon";
  EXPECT_LE(MoonlightLimit(60 * DegToRad, 1.0), 35) << "a high full Moon hides the band";
  int previous = 1000;
  for (double alt : {2.0, 10.0, 25.0, 40.0}) {
    const int limit = MoonlightLimit(alt * DegToRad, 1.0);
    EXPECT_LT(limit, previous) << alt;
    previous = limit;
  }
  EXPECT_LT(MoonlightLimit(40 * DegToRad, 1.0), MoonlightLimit(40 * DegToRad, 0.5));
  EXPECT_LT(MoonlightLimit(40 * DegToRad, 0.5), MoonlightLimit(40 * DegToRad, 0.1));
}

TEST_F(MilkyWayDraw, TheMoonlitSkyFadesIt) {
  // Beijing at 22:15: the new Moon of 12 August 2026, the full Moon of the
  // 28th up in the south-east.
  Scene(39.9, 116.4, 8, 2026, 8, 12, 22, 15, 25, true);
  EXPECT_DOUBLE_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 1.0);
  Scene(39.9, 116.4, 8, 2026, 8, 28, 22, 15, 25, true);
  EXPECT_LT(MilkyWayStrength(S, ComputeSkyLight(S)), 0.25);
  S.RealisticSky = 0;  // the chart sky is not lit by the Moon
  EXPECT_DOUBLE_EQ(MilkyWayStrength(S, ComputeSkyLight(S)), 1.0);
}

TEST_F(MilkyWayDraw, NothingBelowTheHorizonWithTheGround) {
  Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 15, 5, true);
  DrawAlone();
  int lit = 0, below = 0;
  for (int y = 0; y < S.ScreenHeight; ++y)
    for (int x = 0; x < S.ScreenWidth; ++x) {
      const TVector3 h = ScreenDirection(S, x, y);
      const double alt = std::atan2(h.Z, std::hypot(h.X, h.Y));
      if (alt < -2 * DegToRad) {
        ++below;
        lit += Light(Rig.Buffer, x, y) > 0;
      }
    }
  EXPECT_GT(below, 10000);
  EXPECT_EQ(lit, 0);
}

TEST_F(MilkyWayDraw, SmoothAtEverySize) {
  // No steps between the nodes: along a row the light changes little from
  // one pixel to the next, at the smallest and the largest stage.
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{3840, 2160}}) {
    TBackBuffer buffer(w, h);
    S.ScreenWidth = w;
    S.ScreenHeight = h;
    Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 15, 25);
    S.Scale = w * 2 / 3;
    S.CenterX = w / 2;
    S.CenterY = h / 2;
    DrawMilkyWay(buffer, S, 1.0);
    int worst = 0, total = 0;
    for (int y = 0; y < h; y += 7)
      for (int x = 4; x < w - 4; ++x) {
        // Means over 4 pixels take out the dither.
        int a = 0, b = 0;
        for (int k = 0; k < 4; ++k) {
          a += Light(buffer, x - 4 + k, y);
          b += Light(buffer, x + k, y);
        }
        worst = std::max(worst, std::abs(a - b));
        total += Light(buffer, x, y);
      }
    EXPECT_GT(total, 1000) << w << "x" << h;
    EXPECT_LE(worst, 12) << w << "x" << h;
  }
}

TEST_F(MilkyWayDraw, SwitchedOffTheSkyIsAsWithoutIt) {
  if (!LoadStarDataFrom(S, RuntimeFile(StarDataFileName))) GTEST_SKIP();
  Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 15, 25, true);
  S.MilkyWay = 0;
  Rig.Draw();
  const std::vector<uint16_t> off(Rig.Buffer.Pixels(),
                                  Rig.Buffer.Pixels() + 800 * 600);
  TMilkyWayMap none;
  std::swap(none, S.MilkyWayMap);
  S.MilkyWay = 1;
  Rig.Draw();
  EXPECT_TRUE(std::equal(off.begin(), off.end(), Rig.Buffer.Pixels()));
  std::swap(none, S.MilkyWayMap);
  Rig.Draw();
  EXPECT_FALSE(std::equal(off.begin(), off.end(), Rig.Buffer.Pixels()));
}

// Pictures to look at: the whole sky drawing, the Milky Way on.
// The sky area laid in one colour together with the glow equals filling
// it first and adding the glow after; rows below the sky area stay as they
// were. The fast row adder gives the plain one's pixels on every kind of
// span: rising, falling, dark ends, a last span cut short.
TEST_F(MilkyWayDraw, LaidWithItsGroundAndByTheFastAdderAsByThePlainOne) {
  Scene(39.9, 116.4, 8, 2026, 8, 22, 22, 0, 40);
  const TColor navy = RGB(0, 0, 50);
  TBackBuffer apart(Rig.Buffer.Width(), Rig.Buffer.Height());
  apart.Fill(navy);
  DrawMilkyWay(apart, S, 1.0);
  Rig.Buffer.Fill(RGB(200, 10, 10));
  DrawMilkyWay(Rig.Buffer, S, 1.0, &navy);
  const int W = apart.Width();
  for (int y = 0; y < apart.Height(); y += 7)
    for (int x = 0; x < W; x += 3) {
      const TColor want = y < S.ScreenHeight ? apart.Get(x, y) : TBackBuffer::From565(TBackBuffer::To565(RGB(200, 10, 10)));
      ASSERT_EQ(Rig.Buffer.Get(x, y), want) << x << "," << y;
    }
  // Nothing to add: the ground colour alone.
  Rig.Buffer.Fill(RGB(200, 10, 10));
  DrawMilkyWay(Rig.Buffer, S, 0.0, &navy);
  EXPECT_EQ(Rig.Buffer.Get(W / 2, S.ScreenHeight / 2), TBackBuffer::From565(TBackBuffer::To565(navy)));

  const int32_t dither[4] = {0, 128, 32, 240};
  const int32_t nodes[] = {0, 4096, 2000, 0, 0, 0, 3000, 3999, 17, 4096, 0};
  for (int width : {8 * 10, 8 * 10 - 3, 77, 5}) {
    std::vector<uint16_t> plain(static_cast<size_t>(width)), fast;
    for (int x = 0; x < width; ++x) plain[static_cast<size_t>(x)] = static_cast<uint16_t>(x * 2654435761u >> 16);
    fast = plain;
    PlainGlowRowAdder()(plain.data(), nodes, width, 8, dither, 2304 * 16, 5120 * 16, 3008 * 16);
    FastGlowRowAdder()(fast.data(), nodes, width, 8, dither, 2304 * 16, 5120 * 16, 3008 * 16);
    EXPECT_EQ(plain, fast) << width;
  }
}

TEST_F(MilkyWayDraw, GoldenPictures) {
  if (!LoadStarDataFrom(S, RuntimeFile(StarDataFileName)) ||
      !LoadStarColoursFrom(S, RuntimeFile(StarColourFileName)) ||
      !Rig.Images.LoadFromFile(RuntimeFile("LoadImg.rxf")))
    GTEST_SKIP() << "the catalogue or the pictures are not built yet";
  const struct {
    const char* File;
    double Lat, Lon;
    int Zone, Y, Mo, D, H;
    double Az, Alt;
    double L, B;  // a bright place of the Milky Way in the picture
  } scenes[] = {
      {"milkyway-summer-beijing.png", 39.9, 116.4, 8, 2026, 8, 12, 22, 10, 40, 27, -2.5},
      {"milkyway-winter-beijing.png", 39.9, 116.4, 8, 2026, 1, 15, 22, 0, 60, 180, -1},
      {"milkyway-magellanic-sydney.png", -33.87, 151.21, 10, 2026, 1, 15, 22, 0, 40, 280.5, -32.9},
  };
  for (const auto& s : scenes) {
    Scene(s.Lat, s.Lon, s.Zone, s.Y, s.Mo, s.D, s.H, s.Az, s.Alt, true);
    Rig.Switches(SkyBits::ConstNames, SkyBits::ConstLines, true, true, true);
    S.UpdateSky();
    Rig.Draw();
    Save(s.File);
    // The band's light is there where the map is bright, and the sky far
    // from it stays black.
    EXPECT_GT(LightAt(s.L, s.B), 1.0) << s.File;
  }
}

}  // namespace
