// Golden skies for people to look at, saved under <build>/render-pictures
// with one contact sheet of them all (sky_contact_sheet.png), each checked
// by robust facts: the Moon solid and lit toward the Sun at every age, star
// colours, labels that never overlap (and no Chinese in English mode), the
// sky through sunset and twilight, and the 2024 eclipse seen from Dallas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Gbk.h"
#include "ImageNames.h"
#include "Png.h"
#include "RenderRig.h"
#include "ScreenGeometry.h"
#include "SkyLight.h"
#include "SolarSystem.h"
#include "StarColours.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

constexpr uint64_t AllNames = 0x3F, AllLines = 0x1F00;

struct TCivil {
  int Y, Mo, D, H, Mi;
};

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
TCivil AddMinutes(const TCivil& t, long minutes) {
  long total = (DaysFromCivil(t.Y, t.Mo, t.D) * 24 + t.H) * 60 + t.Mi + minutes;
  long days = total >= 0 ? total / 1440 : -((-total + 1439) / 1440);
  const long rest = total - days * 1440;
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long doe = days - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
  return {y, m, d, static_cast<int>(rest / 60), static_cast<int>(rest % 60)};
}

double Luma(TColor c) {
  return 0.299 * (c & 255) + 0.587 * ((c >> 8) & 255) + 0.114 * ((c >> 16) & 255);
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// One picture of the contact sheet: a part of a buffer, scaled, captioned.
struct TTile {
  std::string Caption;  // UTF-8
  TBackBuffer Picture{1, 1};
  TRect Part;
  int Zoom;             // 1: half size, 2: as is, 4: twice (in half steps)
};

struct SkyGolden : ::testing::Test {
  TRenderRig Rig;
  TSkyloom& S = *Rig.Sky;

  void SetUp() override {
    if (!LoadStarDataFrom(S, RuntimeFile(StarDataFileName)))
      GTEST_SKIP() << "StarData.dat is not built yet (runtime target)";
    if (!LoadStarColoursFrom(S, RuntimeFile(StarColourFileName)))
      GTEST_SKIP() << "StarColor.dat is not built yet (runtime target)";
    if (!Rig.Images.LoadFromFile(RuntimeFile("LoadImg.rxf")) ||
        Rig.Images.Find(ImageNames::StarTint) < 0)
      GTEST_SKIP() << "LoadImg.rxf with the tinted stars is not built yet (runtime target)";
    S.RealisticSky = 1;
    S.LabelPlacement = 1;
  }

  void Save(const std::string& name) {
    std::string error;
    EXPECT_TRUE(SavePng(Rig.Buffer, OutputFile(name), error)) << error;
  }
  void When(const TCivil& t) { Rig.When(t.Y, t.Mo, t.D, t.H, t.Mi); }
  int ConstNumber(const char* abbreviation) const {
    for (int c = 1; c <= MaxConsts; ++c)
      if (S.Consts[c].EShort.view() == abbreviation) return c;
    return 0;
  }
  int StarNamed(const char* english) const {
    for (int i = 1; i <= MaxStarNames; ++i)
      if (S.StarNames[i].EName.view() == english) return S.StarNames[i].Star;
    return 0;
  }
  void FaceHorizontal(const TVector3& h) {
    S.ViewAz = AngleOf(h.X, h.Y);
    S.ViewAlt = NormalizeSigned(AngleOf(std::hypot(h.X, h.Y), h.Z));
    S.UpdateSky();
  }
  void Face(double ra, double dec) { FaceHorizontal(HorizontalDirection(ra, dec, S)); }
  // The Moon's horizontal direction seen from the observer.
  // The Moon as seen from the observer (the sky update leaves its
  // topocentric place in the model).
  TVector3 MoonSeen() const {
    const TSkyPoint& m = S.Planets[BodyMoon];
    const TVector3 h = HorizontalDirection(m.Lon, m.Lat, S);
    const double n = std::sqrt(h.X * h.X + h.Y * h.Y + h.Z * h.Z);
    return {h.X / n, h.Y / n, h.Z / n};
  }
  void ExpectNoOverlap(const char* scene) {
    for (size_t i = 0; i < Rig.Placed.size(); ++i)
      for (size_t j = i + 1; j < Rig.Placed.size(); ++j)
        EXPECT_FALSE(Overlap(Rig.Placed[i].Box, Rig.Placed[j].Box))
            << scene << ": \"" << GbkToUtf8(Rig.Placed[i].Text) << "\" and \""
            << GbkToUtf8(Rig.Placed[j].Text) << "\"";
  }
  bool Drew(const char* utf8) const {
    const std::string gbk = Utf8ToGbk(utf8);
    for (const auto& l : Rig.Placed)
      if (l.Text == gbk) return true;
    return false;
  }

  // ---- Scenes (each also a tile of the contact sheet) ----

  // The Moon `days` after the new Moon of 2026-01-18 19:52 UT, from Beijing.
  void MoonScene(int days) {
    Rig.Place(39.9, 116.4, 8);
    Rig.Switches(0, 0, false, false, false);
    When(AddMinutes({2026, 1, 19, 3, 52}, days * 1440L));
    S.UpdateSky();
    FaceHorizontal(MoonSeen());
    Rig.Draw(clBlack);
  }
  // Beijing, 2026-01-15 21:00, facing Betelgeuse, every name layer on.
  void OrionScene(bool english) {
    Rig.Place(39.9, 116.4, 8);
    When({2026, 1, 15, 21, 0});
    Rig.Switches(AllNames & ~SkyBits::MessierNames, SkyBits::ConstLines, true, true, true);
    S.English = english ? 1 : 0;
    S.UpdateSky();
    const TSkyPoint& b = S.Stars[StarNamed("Betelgeuse")];
    Face(b.Lon, b.Lat - 4 * DegToRad);
    Rig.Draw();
  }
  // Shanghai, 2026-07-20 22:30, facing Sagittarius, Messier names on.
  void SagittariusScene() {
    Rig.Place(31.2, 121.5, 8);
    When({2026, 7, 20, 22, 30});
    Rig.Switches(SkyBits::ConstNames | SkyBits::MessierNames | SkyBits::StarNames |
                     SkyBits::PlanetNames,
                 SkyBits::ConstLines, true, true, true);
    S.English = 0;
    S.UpdateSky();
    Face(283 * DegToRad, -26 * DegToRad);
    Rig.Draw();
  }
  // Beijing, 2026-03-20, the first minute after sunset with the Sun at or
  // below `altitudeDeg`, looking west 15 degrees up.
  TSkyLight SunsetScene(double altitudeDeg) {
    Rig.Place(39.9, 116.4, 8);
    Rig.Switches(SkyBits::ConstNames | SkyBits::PlanetNames, SkyBits::ConstLines, true, true, true);
    S.English = 0;
    Rig.View(270, 15);
    for (int m = 17 * 60; m < 22 * 60; ++m) {
      When({2026, 3, 20, m / 60, m % 60});
      S.UpdateSky();
      if (ComputeSkyLight(S).SunAltitude <= altitudeDeg * DegToRad) break;
    }
    Rig.Draw();
    return ComputeSkyLight(S);
  }
  // Dallas, 2024-04-08 at h:mi CDT, the Sun at the centre.
  void EclipseScene(int h, int mi, bool moon = true, int sec = 0) {
    Rig.Place(32.78, -96.80, -5);
    Rig.Switches(SkyBits::PlanetNames, 0, true, false, true);
    S.English = 0;
    Rig.When(2024, 4, 8, h, mi, sec);
    S.UpdateSky();
    Face(S.Planets[BodySun].Lon, S.Planets[BodySun].Lat);
    if (!moon) S.Planets[BodyMoon].Visible = 0;
    Rig.Draw();
  }
  // Pixels of the Sun's picture disc.
  static int SunDiscPixels() {
    int n = 0;
    for (int dy = -SunDiscRadius + 1; dy < SunDiscRadius; ++dy)
      for (int dx = -SunDiscRadius + 1; dx < SunDiscRadius; ++dx)
        n += dx * dx + dy * dy < SunDiscRadius * SunDiscRadius;
    return n;
  }
  // Pixels of the Sun's disc that the Moon covers in the drawing: those
  // that differ from the same sky drawn without the Moon.
  int CoveredSunPixels(int h, int mi, int sec = 0) {
    EclipseScene(h, mi, false, sec);
    const TBackBuffer bare = Rig.Buffer;
    EclipseScene(h, mi, true, sec);
    const int x = ScreenX(S, S.Planets[BodySun]), y = ScreenY(S, S.Planets[BodySun]);
    int n = 0;
    for (int dy = -SunDiscRadius + 1; dy < SunDiscRadius; ++dy)
      for (int dx = -SunDiscRadius + 1; dx < SunDiscRadius; ++dx)
        if (dx * dx + dy * dy < SunDiscRadius * SunDiscRadius &&
            Rig.Buffer.Get(x + dx, y + dy) != bare.Get(x + dx, y + dy))
          ++n;
    return n;
  }
  double MeanLuma(int x0, int y0, int x1, int y1) const {
    double sum = 0;
    int n = 0;
    for (int y = y0; y <= y1; y += 2)
      for (int x = x0; x <= x1; x += 2) {
        sum += Luma(Rig.Buffer.Get(x, y));
        ++n;
      }
    return sum / n;
  }
  TTile Tile(const std::string& caption, const TRect& part, int zoom) {
    return {caption, Rig.Buffer, part, zoom};
  }
};

// The Pleiades' centre (Alcyone), of date in 2026: radians.
constexpr double PleiadesRa = 56.97 * DegToRad, PleiadesDec = 24.16 * DegToRad;

constexpr int MoonAges[] = {1, 2, 3, 5, 7, 10, 14, 18, 22, 26, 28};

// Every age of the Moon is one solid lit shape on the Sun's side.
TEST_F(SkyGolden, MoonPhasesAreSolidAndFaceTheSun) {
  const TColor yellow = TBackBuffer::From565(TBackBuffer::To565(RGB(255, 255, 0)));
  int lastLit = -1;
  for (int age : MoonAges) {
    MoonScene(age);
    Save("moon_day_" + std::to_string(age) + ".png");
    const TSkyPoint& m = S.Planets[BodyMoon];
    ASSERT_TRUE(IsShownInside(S, m)) << age;
    const int mx = ScreenX(S, m), my = ScreenY(S, m);
    // Lit pixels, their centroid and their 8-connected regions.
    std::vector<int> lit;
    double cx = 0, cy = 0;
    for (int y = my - 12; y <= my + 12; ++y)
      for (int x = mx - 12; x <= mx + 12; ++x)
        if (Rig.Buffer.Get(x, y) == yellow) {
          lit.push_back((y - my + 12) * 25 + (x - mx + 12));
          cx += x - mx;
          cy += y - my;
        }
    ASSERT_GE(lit.size(), 6u) << "day " << age << ": the crescent is lit";
    EXPECT_EQ(Rig.Count(RGB(255, 255, 0), 0, 0, 799, 431), static_cast<int>(lit.size()))
        << "day " << age << ": yellow outside the Moon";
    std::vector<int> seen(625, 0), isLit(625, 0), stack;
    for (int p : lit) isLit[static_cast<size_t>(p)] = 1;
    int regions = 0;
    for (int p : lit) {
      if (seen[static_cast<size_t>(p)]) continue;
      ++regions;
      stack = {p};
      seen[static_cast<size_t>(p)] = 1;
      while (!stack.empty()) {
        const int q = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int x = q % 25 + dx, y = q / 25 + dy;
            if (x < 0 || y < 0 || x >= 25 || y >= 25) continue;
            const size_t r = static_cast<size_t>(y * 25 + x);
            if (isLit[r] && !seen[r]) {
              seen[r] = 1;
              stack.push_back(static_cast<int>(r));
            }
          }
      }
    }
    EXPECT_EQ(regions, 1) << "day " << age << ": the lit part is in one piece";
    // Waxing to full the lit area grows, then shrinks (the crescents of
    // one to three days all have about the least width).
    const int n = static_cast<int>(lit.size());
    if (age <= 3) EXPECT_GE(n, 30) << "day " << age;
    else if (age <= 14) EXPECT_GT(n, lastLit) << "day " << age;
    else EXPECT_LT(n, lastLit) << "day " << age;
    lastLit = n;
    cx /= n;
    cy /= n;
    if (std::hypot(cx, cy) < 1) continue;  // nearly full: no side to speak of
    // The Sun's direction on screen: a short step from the Moon toward it.
    const TVector3 mv = MoonSeen();
    const TSkyPoint& sun = S.Planets[BodySun];
    const TVector3 sv = HorizontalDirection(sun.Lon, sun.Lat, S);
    const double d = sv.X * mv.X + sv.Y * mv.Y + sv.Z * mv.Z;
    const TVector3 step{mv.X + 0.02 * (sv.X - d * mv.X), mv.Y + 0.02 * (sv.Y - d * mv.Y),
                        mv.Z + 0.02 * (sv.Z - d * mv.Z)};
    TSkyPoint q, here;
    ApplyView(q, step, ProjectionOf(S), false);
    ApplyView(here, mv, ProjectionOf(S), false);
    const double tx = -(q.Y - here.Y), ty = q.X - here.X;
    const double cosine = (cx * tx + cy * ty) / (std::hypot(cx, cy) * std::hypot(tx, ty));
    EXPECT_GT(cosine, std::cos(30 * DegToRad)) << "day " << age << ": lit toward the Sun";
  }
}

// Betelgeuse is drawn orange-red, Rigel blue-white; the names never overlap,
// in Chinese or English, and English mode draws no Chinese text.
TEST_F(SkyGolden, OrionColoursAndLabels) {
  const int betelgeuse = StarNamed("Betelgeuse"), rigel = StarNamed("Rigel");
  ASSERT_GT(betelgeuse, 0);
  ASSERT_GT(rigel, 0);
  EXPECT_EQ(StarTintClass(S.StarColour[betelgeuse]), 4);
  EXPECT_EQ(StarTintClass(S.StarColour[rigel]), 0);
  OrionScene(false);
  Save("orion_colours_zh.png");
  ExpectNoOverlap("Orion, Chinese");
  EXPECT_TRUE(Drew("猎户座"));
  EXPECT_TRUE(Drew("参宿四"));
  // Red minus blue of the glow around each star (core excluded).
  auto warmth = [&](int star) {
    const int x = ScreenX(S, S.Stars[star]), y = ScreenY(S, S.Stars[star]);
    double rb = 0;
    for (int dy = -6; dy <= 6; ++dy)
      for (int dx = -6; dx <= 6; ++dx) {
        const int r2 = dx * dx + dy * dy;
        if (r2 < 4 || r2 > 36) continue;
        const TColor c = Rig.Buffer.Get(x + dx, y + dy);
        rb += static_cast<int>(c & 255) - static_cast<int>((c >> 16) & 255);
      }
    return rb;
  };
  EXPECT_GT(warmth(betelgeuse), 200) << "Betelgeuse is red";
  EXPECT_LT(warmth(rigel), -200) << "Rigel is blue";

  // The belt's three stars keep their names apart.
  int belt = 0;
  for (const char* name : {"参宿一", "参宿二", "参宿三"}) belt += Drew(name) ? 1 : 0;
  EXPECT_GE(belt, 2);

  OrionScene(true);
  Save("orion_colours_en.png");
  ExpectNoOverlap("Orion, English");
  EXPECT_TRUE(Drew("Orion"));
  EXPECT_TRUE(Drew("Betelgeuse"));
  EXPECT_TRUE(Drew("Canis Major") || Drew("Monoceros") || Drew("Lepus"));
  ASSERT_FALSE(Rig.Placed.empty());
  for (const auto& l : Rig.Placed)
    for (unsigned char c : l.Text)
      EXPECT_LT(c, 0x80) << "a Chinese text in English mode: " << GbkToUtf8(l.Text);
  // The asterisms speak English too.
  bool asterism = false;
  for (const auto& l : Rig.Placed) asterism |= l.Priority == LabelPriority::Asterisms;
  EXPECT_TRUE(asterism);
}

// Zoomed in to 10 degrees on the Pleiades and out to 180 degrees over the
// southern sky: the cluster's stars stand apart (drawn larger and to a fainter
// limit than at the default field), the whole sky from east to west fits, and no labels
// overlap in either.
TEST_F(SkyGolden, ZoomedInOnThePleiadesAndOutToTheWholeSky) {
  Rig.Place(39.9, 116.4, 8);
  When({2026, 1, 15, 21, 0});
  Rig.Switches(AllNames, SkyBits::ConstLines, true, true, true);
  S.English = 0;
  S.UpdateSky();
  auto starsInside = [&](int radius, int& faintest) {
    int n = 0;
    faintest = -100;
    for (int k = 1; k <= S.StarCount; ++k) {
      const TSkyPoint& s = S.Stars[k];
      if (!s.Visible || !(s.Z > 0) || s.Mag > 60) continue;
      const int64_t dx = ScreenX(S, s) - S.CenterX, dy = ScreenY(S, s) - S.CenterY;
      if (dx * dx + dy * dy > int64_t{radius} * radius) continue;
      ++n;
      faintest = std::max(faintest, static_cast<int>(s.Mag));
    }
    return n;
  };
  auto starsOnScreen = [&] {
    int n = 0;
    for (int k = 1; k <= S.StarCount; ++k)
      n += S.Stars[k].Visible && S.Stars[k].Z > 0 && S.Stars[k].Mag <= 60 && IsInside(S, S.Stars[k]);
    return n;
  };
  S.FieldOfView = 10;
  ApplyFieldOfView(S);
  Face(PleiadesRa, PleiadesDec);
  Rig.Draw();
  Save("pleiades_10deg.png");
  ExpectNoOverlap("the Pleiades at 10 degrees");
  int faintest = 0;
  // Within a degree of the cluster's centre: its brighter members.
  EXPECT_GE(starsInside(S.Scale / 57, faintest), 6);

  S.FieldOfView = DefaultFieldOfView;
  ApplyFieldOfView(S);
  S.UpdateSky();
  Rig.Draw();
  const int atDefault = starsOnScreen();

  S.FieldOfView = 180;
  ApplyFieldOfView(S);
  Rig.View(0, 40);
  S.UpdateSky();
  Rig.Draw();
  Save("sky_180deg.png");
  ExpectNoOverlap("the whole sky at 180 degrees");
  EXPECT_GT(starsOnScreen(), 3 * atDefault);
  // The east and west points of the horizon lie at the sky area's edges.
  TSkyPoint east, west;
  ApplyView(east, {0, 1, 0}, ProjectionOf(S));
  ApplyView(west, {0, -1, 0}, ProjectionOf(S));
  EXPECT_NEAR(ScreenX(S, east), 0, 40);
  EXPECT_NEAR(ScreenX(S, west), 800, 40);
}

// Beyond 90 degrees the projection bends the horizon into a curve rising
// toward the sides: the ground fills every column from the curve down (no
// night sky shows between the curve and the row where it crosses the
// middle).
TEST_F(SkyGolden, TheGroundFillsBelowTheBentHorizon) {
  Rig.Place(39.9, 116.4, 8);
  When({2026, 1, 15, 21, 0});
  Rig.Switches(0, 0, false, false, true);
  for (const double field : {120.0, 180.0}) {
    S.FieldOfView = field;
    ApplyFieldOfView(S);
    Rig.View(0, field > 150 ? 50 : 20);
    S.UpdateSky();
    Rig.Draw();
    Save(field > 150 ? "ground_bent_180deg.png" : "ground_bent_120deg.png");
    const int H = S.ScreenHeight;
    int middle = -1, rising = 0;
    for (int x = 8; x < 800; x += 48) {
      int row = H;
      for (int y = 0; y < H; ++y)
        if (ScreenDirection(S, x, y).Z < 0) {
          row = y;
          break;
        }
      if (std::abs(x - 400) < 24) middle = row;
      if (row >= H - 4) continue;
      int ground = 0;
      for (int y = row + 3; y < H; ++y) ground += Rig.Buffer.Pixels()[y * Rig.Buffer.Width() + x] != 0;
      EXPECT_GE(ground, (H - row - 3) * 95 / 100) << "column " << x << " below row " << row;
      if (middle >= 0 && row < middle - 20) ++rising;
    }
    EXPECT_GT(rising, 0) << field << ": the horizon does not rise toward the sides";
  }
  S.FieldOfView = DefaultFieldOfView;
  ApplyFieldOfView(S);
}

// The boards read E, S, W, N in English mode.
TEST_F(SkyGolden, EnglishBoards) {
  const int zh = Rig.Images.Find(ImageNames::BoardList), en = Rig.Images.Find(ImageNames::BoardListEn);
  ASSERT_GE(en, 0);
  Rig.Place(39.9, 116.4, 8);
  When({2026, 1, 15, 21, 0});
  Rig.Switches(0, 0, false, false, true);
  Rig.View(0, 5);  // the south board near the middle
  S.UpdateSky();
  S.English = 1;
  Rig.Draw();
  Save("boards_en.png");
  const TBackBuffer english = Rig.Buffer;
  S.English = 0;
  Rig.Draw();
  Save("boards_zh.png");
  // The south board (frame 3) stands where its horizon point is; the two
  // pictures differ only on the board's caption.
  const TSkyPoint& south = S.Scenery[51 + 0];
  (void)south;
  int differ = 0;
  for (int y = 0; y < 432; ++y)
    for (int x = 0; x < 800; ++x) differ += english.Get(x, y) != Rig.Buffer.Get(x, y);
  EXPECT_GT(differ, 20);
  EXPECT_LT(differ, 8 * 46 * 46);
  EXPECT_EQ(Rig.Images.FrameCount(en), Rig.Images.FrameCount(zh));
}

// Sagittarius with the Messier names on: every name placed apart.
TEST_F(SkyGolden, SagittariusMessierNamesApart) {
  SagittariusScene();
  Save("sagittarius_messier.png");
  ExpectNoOverlap("Sagittarius");
  int messier = 0;
  for (const auto& l : Rig.Placed) messier += l.Priority == LabelPriority::Messier;
  EXPECT_GE(messier, 4);
  EXPECT_TRUE(Drew("人马座"));
  // The label pass off: the piled-up names of before come back.
  S.LabelPlacement = 0;
  Rig.Draw();
  Save("sagittarius_messier_as_drawn.png");
  EXPECT_TRUE(Rig.Placed.empty());
}

// Labels stay off the ground, the boards and the Sun's and Moon's discs.
TEST_F(SkyGolden, LabelsKeepOffTheGroundAndDiscs) {
  OrionScene(false);
  Rig.View(0, 3);
  S.UpdateSky();
  Rig.Switches(AllNames, AllLines, true, true, true);
  S.UpdateSky();
  Rig.Draw();
  Save("labels_near_horizon.png");
  ExpectNoOverlap("near the horizon");
  int top = 432;
  for (int i = 1; i <= HorizonPoints; ++i)
    if (S.Horizon[i].Z > 0) {
      top = S.CenterY + RoundPixel(S.Horizon[i].X);
      break;
    }
  ASSERT_LT(top, 432);
  for (const auto& l : Rig.Placed)
    EXPECT_LE(l.Box.Bottom, top) << GbkToUtf8(l.Text) << " reaches into the ground";
  EclipseScene(13, 0);
  const int sx = ScreenX(S, S.Planets[BodySun]), sy = ScreenY(S, S.Planets[BodySun]);
  const TRect sunBox{sx - SunDiscRadius, sy - SunDiscRadius, sx + SunDiscRadius, sy + SunDiscRadius};
  ASSERT_FALSE(Rig.Placed.empty());
  for (const auto& l : Rig.Placed) EXPECT_FALSE(Overlap(l.Box, sunBox)) << GbkToUtf8(l.Text);
}

// From sunset to night the sky darkens and more stars come out.
TEST_F(SkyGolden, SunsetSequence) {
  double lastHorizon = 1e9, lastZenith = 1e9;
  int lastLimit = -1000;
  for (double alt : {-2.0, -6.0, -12.0, -18.0}) {
    const TSkyLight light = SunsetScene(alt);
    Save("sunset_" + std::to_string(static_cast<int>(-alt)) + ".png");
    EXPECT_NEAR(light.SunAltitude / DegToRad, alt, 0.3);
    // Row 300 is just above the horizon seen 15 degrees up.
    const double horizon = MeanLuma(300, 280, 500, 300), top = MeanLuma(0, 0, 799, 20);
    EXPECT_LT(horizon, lastHorizon) << alt;
    EXPECT_LE(top, lastZenith) << alt;
    EXPECT_GT(light.Limit, lastLimit) << alt;
    if (alt > -12) {
      EXPECT_GT(horizon, top) << alt << ": brighter toward the Sun's horizon";
    }
    lastHorizon = horizon;
    lastZenith = top;
    lastLimit = light.Limit;
  }
  // Night: the sky is black and every star is drawn.
  EXPECT_LT(lastHorizon, 6);
  // Switched off: the old black sky at once.
  S.RealisticSky = 0;
  SunsetScene(-6);
  EXPECT_LT(MeanLuma(0, 0, 799, 300), 10);
}

// 2024-04-08 from Dallas: no eclipse at 12:20, partial at 13:00 and 14:00,
// total at 13:42 under a dark sky.
TEST_F(SkyGolden, DallasEclipseMinutes) {
  const int disc = CoveredSunPixels(12, 20);
  Save("eclipse_1220.png");
  EXPECT_EQ(disc, 0) << "no eclipse yet";
  const double dayLuma = MeanLuma(0, 0, 799, 431);
  const int all = SunDiscPixels();
  for (int minute : {13 * 60, 14 * 60}) {
    const int covered = CoveredSunPixels(minute / 60, minute % 60);
    Save(minute == 13 * 60 ? "eclipse_1300.png" : "eclipse_1400.png");
    EXPECT_GT(covered, all / 10) << minute;
    EXPECT_LT(covered, all * 9 / 10) << minute;
  }
  EXPECT_GT(CoveredSunPixels(13, 39), all * 8 / 10);
  Save("eclipse_1339.png");
  EXPECT_EQ(CoveredSunPixels(13, 42, 30), all) << "totality";
  Save("eclipse_total.png");
  EXPECT_LT(MeanLuma(0, 0, 799, 431), dayLuma / 3) << "the sky darkens";
  const TSkyLight light = ComputeSkyLight(S);
  EXPECT_TRUE(light.Eclipse);
  EXPECT_GE(light.Covered, 0.999);
  EXPECT_GE(light.Limit, 15) << "the brightest stars and planets come out";
}

// The four contacts at Dallas (32.78 N, 96.80 W) against the published
// local circumstances (NASA eclipse web site, CDT): first contact 12:23,
// totality 13:40:44 - 13:44:34, last contact 15:02. The Moon's true place
// must meet the Sun within 30 s of each; the picture, with the realistic sky
// on and off, must show no eclipse a minute before first contact and after
// last contact, some of the Sun covered a minute inside them, and all of it
// covered inside totality.
TEST_F(SkyGolden, EclipseContactsAtTheRightSeconds) {
  auto separationExcess = [&](int t) {  // true separation less the sum of radii
    EclipseScene(t / 3600, t / 60 % 60, true, t % 60);
    const TSkyLight light = ComputeSkyLight(S);
    return std::make_pair(light.Separation - (light.SunRadius + light.MoonRadius),
                          light.Separation - (light.MoonRadius - light.SunRadius));
  };
  // The second (scanned in 4-second steps, then refined) at which the given
  // excess changes sign between t0 and t1.
  auto crossing = [&](int t0, int t1, bool inner) {
    auto value = [&](int t) {
      const auto e = separationExcess(t);
      return inner ? e.second : e.first;
    };
    double prev = value(t0);
    for (int t = t0 + 4; t <= t1; t += 4) {
      const double v = value(t);
      if ((v < 0) != (prev < 0)) {
        int lo = t - 4, hi = t;
        while (hi - lo > 1) {
          const int mid = (lo + hi) / 2;
          ((value(mid) < 0) == (prev < 0) ? lo : hi) = mid;
        }
        return hi;
      }
      prev = v;
    }
    return -1;
  };
  auto hms = [](int h, int m, int s) { return h * 3600 + m * 60 + s; };
  const int c1 = crossing(hms(12, 18, 0), hms(12, 28, 0), false);
  const int c2 = crossing(hms(13, 38, 0), hms(13, 42, 40), true);
  const int c3 = crossing(hms(13, 42, 40), hms(13, 47, 0), true);
  const int c4 = crossing(hms(14, 57, 0), hms(15, 7, 0), false);
  std::printf("contacts: %d:%02d:%02d %d:%02d:%02d %d:%02d:%02d %d:%02d:%02d CDT\n", c1 / 3600,
              c1 / 60 % 60, c1 % 60, c2 / 3600, c2 / 60 % 60, c2 % 60, c3 / 3600, c3 / 60 % 60,
              c3 % 60, c4 / 3600, c4 / 60 % 60, c4 % 60);
  EXPECT_NEAR(c1, hms(12, 23, 30), 60) << "published to the minute";
  EXPECT_NEAR(c2, hms(13, 40, 44), 30);
  EXPECT_NEAR(c3, hms(13, 44, 34), 30);
  EXPECT_NEAR(c4, hms(15, 2, 30), 60) << "published to the minute";
  EXPECT_GE(c3 - c2, 210);
  EXPECT_LE(c3 - c2, 250);

  const int all = SunDiscPixels();
  auto covered = [&](int t) { return CoveredSunPixels(t / 3600, t / 60 % 60, t % 60); };
  // The light left of the Sun's disc in the picture (sum of luma).
  auto sunLight = [&](int t) {
    EclipseScene(t / 3600, t / 60 % 60, true, t % 60);
    const int x = ScreenX(S, S.Planets[BodySun]), y = ScreenY(S, S.Planets[BodySun]);
    double sum = 0;
    for (int dy = -SunDiscRadius + 1; dy < SunDiscRadius; ++dy)
      for (int dx = -SunDiscRadius + 1; dx < SunDiscRadius; ++dx)
        if (dx * dx + dy * dy < SunDiscRadius * SunDiscRadius)
          sum += Luma(Rig.Buffer.Get(x + dx, y + dy));
    return sum;
  };
  for (int realistic : {1, 0}) {
    S.RealisticSky = static_cast<uint8_t>(realistic);
    EXPECT_EQ(covered(c1 - 60), 0) << realistic;
    EXPECT_GT(covered(c1 + 60), 0) << realistic;
    EXPECT_EQ(covered((c2 + c3) / 2), all) << realistic;
    const double dark = sunLight((c2 + c3) / 2);
    EXPECT_NEAR(sunLight(c2 + 40), dark, dark * 0.005) << realistic;
    EXPECT_NEAR(sunLight(c3 - 40), dark, dark * 0.005) << realistic;
    // A bead of the Sun still shines a minute before and after totality.
    EXPECT_GT(sunLight(c2 - 60), dark * 1.05) << realistic;
    EXPECT_GT(sunLight(c3 + 60), dark * 1.05) << realistic;
    EXPECT_GT(covered(c4 - 60), 0) << realistic;
    EXPECT_EQ(covered(c4 + 60), 0) << realistic;
  }
  S.RealisticSky = 1;
}

// One sheet of every golden scene for a person to look through.
TEST_F(SkyGolden, ContactSheet) {
  std::vector<TTile> tiles;
  for (int age : MoonAges) {
    MoonScene(age);
    const int x = ScreenX(S, S.Planets[BodyMoon]), y = ScreenY(S, S.Planets[BodyMoon]);
    tiles.push_back(Tile("月龄 " + std::to_string(age) + " 天", TRect{x - 20, y - 20, x + 20, y + 20}, 6));
  }
  OrionScene(false);
  tiles.push_back(Tile("猎户座（中文）", TRect{0, 0, 800, 432}, 1));
  OrionScene(true);
  tiles.push_back(Tile("Orion (English)", TRect{0, 0, 800, 432}, 1));
  SagittariusScene();
  tiles.push_back(Tile("人马座 梅西耶天体", TRect{0, 0, 800, 432}, 1));
  Rig.Place(39.9, 116.4, 8);
  When({2026, 1, 15, 21, 0});
  Rig.Switches(AllNames, SkyBits::ConstLines, true, true, true);
  S.English = 0;
  S.FieldOfView = 10;
  ApplyFieldOfView(S);
  S.UpdateSky();
  Face(PleiadesRa, PleiadesDec);
  Rig.Draw();
  tiles.push_back(Tile("昴星团 视野 10°", TRect{0, 0, 800, 432}, 1));
  S.FieldOfView = 180;
  ApplyFieldOfView(S);
  Rig.View(0, 40);
  S.UpdateSky();
  Rig.Draw();
  tiles.push_back(Tile("南方天空 视野 180°", TRect{0, 0, 800, 432}, 1));
  S.FieldOfView = DefaultFieldOfView;
  ApplyFieldOfView(S);
  for (double alt : {-2.0, -6.0, -12.0, -18.0}) {
    SunsetScene(alt);
    tiles.push_back(Tile("日落 太阳高度 " + std::to_string(static_cast<int>(alt)) + "°",
                         TRect{0, 0, 800, 432}, 1));
  }
  for (int minute : {12 * 60 + 20, 13 * 60, 13 * 60 + 41, 13 * 60 + 45, 14 * 60}) {
    EclipseScene(minute / 60, minute % 60);
    char caption[64];
    std::snprintf(caption, sizeof caption, "达拉斯 2024-04-08 %02d:%02d", minute / 60, minute % 60);
    tiles.push_back(Tile(caption, TRect{0, 0, 800, 432}, 1));
  }
  // Lay out: rows of tiles, each cell its part scaled by Zoom / 2, a caption below.
  const int sheetW = 1640;
  int x = 8, y = 8, rowH = 0;
  std::vector<std::pair<int, int>> at;
  for (const TTile& t : tiles) {
    const int w = (t.Part.Right - t.Part.Left) * t.Zoom / 2, h = (t.Part.Bottom - t.Part.Top) * t.Zoom / 2;
    if (x + w > sheetW - 8) {
      x = 8;
      y += rowH + 24;
      rowH = 0;
    }
    at.push_back({x, y});
    x += w + 8;
    rowH = std::max(rowH, h);
  }
  TBackBuffer sheet(sheetW, y + rowH + 32);
  sheet.Fill(RGB(40, 40, 48));
  TCanvas canvas(sheet);
  canvas.Font.Name = SongFont;
  canvas.Font.Height = -12;
  canvas.Font.Color = clWhite;
  canvas.Brush.Style = TBrushStyle::Clear;
  for (size_t i = 0; i < tiles.size(); ++i) {
    const TTile& t = tiles[i];
    const int w = (t.Part.Right - t.Part.Left) * t.Zoom / 2, h = (t.Part.Bottom - t.Part.Top) * t.Zoom / 2;
    for (int yy = 0; yy < h; ++yy)
      for (int xx = 0; xx < w; ++xx)
        sheet.Put(at[i].first + xx, at[i].second + yy,
                  t.Picture.Get(t.Part.Left + xx * 2 / t.Zoom, t.Part.Top + yy * 2 / t.Zoom));
    canvas.TextOut(at[i].first, at[i].second + h + 4, Utf8ToGbk(t.Caption));
  }
  std::string error;
  EXPECT_TRUE(SavePng(sheet, OutputFile("sky_contact_sheet.png"), error)) << error;
}

}  // namespace
