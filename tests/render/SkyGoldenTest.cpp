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
  TVector3 MoonSeen() const {
    const TSkyPoint& m = S.Planets[BodyMoon];
    TVector3 h = HorizontalDirection(m.Lon, m.Lat, S);
    h.Z -= std::asin(1.0 / static_cast<double>(Body(BodyMoon).Dist));
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
  void EclipseScene(int h, int mi, bool moon = true) {
    Rig.Place(32.8, -96.8, -5);
    Rig.Switches(SkyBits::PlanetNames, 0, true, false, true);
    S.English = 0;
    When({2024, 4, 8, h, mi});
    S.UpdateSky();
    Face(S.Planets[BodySun].Lon, S.Planets[BodySun].Lat);
    if (!moon) S.Planets[BodyMoon].Visible = 0;
    Rig.Draw();
  }
  // Pixels of the Sun's disc that the Moon covers in the drawing: those
  // that differ from the same sky drawn without the Moon.
  int CoveredSunPixels(int h, int mi) {
    EclipseScene(h, mi, false);
    const TBackBuffer bare = Rig.Buffer;
    EclipseScene(h, mi, true);
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
// total at mid-eclipse under a dark sky. (The program's ephemeris, which
// counts the Moon's motion in universal time, puts mid-eclipse some four
// minutes after the published 13:42; 13:41 is drawn as the last moments
// before totality.)
TEST_F(SkyGolden, DallasEclipseMinutes) {
  const int disc = CoveredSunPixels(12, 20);
  Save("eclipse_1220.png");
  EXPECT_EQ(disc, 0) << "no eclipse yet";
  const double dayLuma = MeanLuma(0, 0, 799, 431);
  const int all = [&] {
    int n = 0;
    for (int dy = -SunDiscRadius + 1; dy < SunDiscRadius; ++dy)
      for (int dx = -SunDiscRadius + 1; dx < SunDiscRadius; ++dx)
        n += dx * dx + dy * dy < SunDiscRadius * SunDiscRadius;
    return n;
  }();
  for (int minute : {13 * 60, 14 * 60}) {
    const int covered = CoveredSunPixels(minute / 60, minute % 60);
    Save(minute == 13 * 60 ? "eclipse_1300.png" : "eclipse_1400.png");
    EXPECT_GT(covered, all / 10) << minute;
    EXPECT_LT(covered, all * 9 / 10) << minute;
  }
  EXPECT_GT(CoveredSunPixels(13, 41), all * 9 / 10);
  Save("eclipse_1341.png");
  // Mid-eclipse by the program's ephemeris: the smallest separation.
  int mid = 0;
  double least = 1;
  for (int m = 13 * 60 + 30; m <= 14 * 60; ++m) {
    EclipseScene(m / 60, m % 60);
    const double sep = ComputeSkyLight(S).Separation;
    if (sep < least) least = sep, mid = m;
  }
  EXPECT_NEAR(mid, 13 * 60 + 42, 6);
  EXPECT_EQ(CoveredSunPixels(mid / 60, mid % 60), all) << "totality";
  Save("eclipse_total.png");
  EXPECT_LT(MeanLuma(0, 0, 799, 431), dayLuma / 3) << "the sky darkens";
  const TSkyLight light = ComputeSkyLight(S);
  EXPECT_TRUE(light.Eclipse);
  EXPECT_GE(light.Covered, 0.999);
  EXPECT_GE(light.Limit, 15) << "the brightest stars and planets come out";
}

// First and last contact in the drawing fall within two minutes of the
// times the program's own ephemeris gives, which lie within a few minutes
// of the published 12:23 and 15:02 CDT (see above).
TEST_F(SkyGolden, EclipseContactsAtTheRightMinutes) {
  auto trueOverlap = [&](int minute) {
    Rig.Place(32.8, -96.8, -5);
    When({2024, 4, 8, minute / 60, minute % 60});
    S.UpdateSky();
    const TSkyPoint& sun = S.Planets[BodySun];
    const TVector3 s = HorizontalDirection(sun.Lon, sun.Lat, S);
    const TVector3 m = MoonSeen();
    const double sep = std::acos(std::clamp(s.X * m.X + s.Y * m.Y + s.Z * m.Z, -1.0, 1.0));
    const double moonDist = static_cast<double>(Body(BodyMoon).Dist);  // Earth radii
    const double sunSd = 959.63 / 206264.806 / static_cast<double>(Body(BodySun).Dist);
    const double moonSd = std::asin(0.2725076 / (moonDist - std::sin(std::asin(m.Z))));
    return sep < sunSd + moonSd;
  };
  auto firstAndLast = [&](const std::function<bool(int)>& overlap, int& first, int& last) {
    first = last = -1;
    for (int minute = 12 * 60; minute <= 15 * 60 + 20; ++minute)
      if (overlap(minute)) {
        if (first < 0) first = minute;
        last = minute;
      } else if (first >= 0 && minute > 14 * 60) {
        break;
      }
  };
  int trueFirst, trueLast;
  firstAndLast(trueOverlap, trueFirst, trueLast);
  EXPECT_NEAR(trueFirst, 12 * 60 + 23, 6);
  EXPECT_NEAR(trueLast, 15 * 60 + 2, 6);
  std::printf("contacts by the program's ephemeris: %d:%02d and %d:%02d CDT\n", trueFirst / 60,
              trueFirst % 60, trueLast / 60, trueLast % 60);
  // The drawing, minute by minute near the contacts only.
  int drawnFirst = -1, drawnLast = -1;
  for (int minute = trueFirst - 6; minute <= trueFirst + 6 && drawnFirst < 0; ++minute)
    if (CoveredSunPixels(minute / 60, minute % 60) > 0) drawnFirst = minute;
  for (int minute = trueLast + 6; minute >= trueLast - 6 && drawnLast < 0; --minute)
    if (CoveredSunPixels(minute / 60, minute % 60) > 0) drawnLast = minute;
  EXPECT_NEAR(drawnFirst, trueFirst, 2);
  EXPECT_NEAR(drawnLast, trueLast, 2);
  std::printf("contacts in the drawing: %d:%02d and %d:%02d CDT\n", drawnFirst / 60,
              drawnFirst % 60, drawnLast / 60, drawnLast % 60);
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
