// Drawing from hand-placed projected points: figure lines and their star
// number checks, the Moon's phase and lit side, arcs, frame tables, show
// marks, highlights and the ground when no horizon point is in front.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ScreenGeometry.h"
#include "RenderRig.h"
#include "SolarSystem.h"

namespace {

// A point projected to offset (u, v) in front of the viewer.
void Put(TSkyPoint& p, double u, double v, double depth = 1, uint8_t visible = 1) {
  p.Y = u;
  p.X = v;
  p.Z = depth;
  p.Visible = visible;
}

struct SkyDraw : ::testing::Test {
  TRenderRig Rig;
  void SetUp() override {
    TSkyloom& s = *Rig.Sky;
    s.CenterX = 400;
    s.CenterY = 216;
    // The layers as each draws itself: no sky colour, labels where written.
    s.RealisticSky = 0;
    s.LabelPlacement = 0;
    for (int j = 1; j <= MaxBodies; ++j) Put(s.Planets[j], 5000, 5000, -1, 0);  // all behind
  }
};

TEST(SpriteFrames, TheFieldMovesTheStarLimit) {
  // Tenths of a magnitude: none at the default field, fainter stars when
  // zoomed in, only brighter ones when zoomed out.
  const struct {
    double Field;
    int Reach;
  } cases[] = {{DefaultFieldOfView, 0}, {DefaultFieldOfView / 10, 25}, {10, 22}, {5, 29},
               {180, -10}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(FieldReach(c.Field), c.Reach) << c.Field;
}

TEST(SpriteFrames, StarFramesFollowMagnitude) {
  const struct { int Mag, Frame; } cases[] = {
      {-15, 0}, {15, 0}, {16, 1}, {24, 1}, {25, 2}, {35, 3}, {55, 5}, {64, 5}, {65, 6}, {99, 6}};
  for (const auto& c : cases) EXPECT_EQ(StarFrame(c.Mag), c.Frame) << "Mag " << c.Mag;
}

TEST(SpriteFrames, PlanetFramesFollowMagnitude) {
  const struct { int Mag, Frame; } cases[] = {
      {-46, 0}, {-25, 0}, {-20, 0}, {-19, 1}, {-15, 1}, {9, 1}, {10, 2},
      {29, 2},  {35, 3},  {60, 6},  {79, 7},  {95, 7},  {100, 7}};
  for (const auto& c : cases) EXPECT_EQ(PlanetFrame(c.Mag), c.Frame) << "Mag " << c.Mag;
}

TEST(ShowHighlights, KindsAndCountsAreHonoured) {
  TSkyMarks m;
  m.Highlights[1] = {5, 1, 0, 0, 0, 0};    // name of constellation 5
  m.Highlights[2] = {7, 0, 1, 0, 1, 0};    // lines and Greek letters of 7
  m.Highlights[3] = {212, 0, 0, 0, 0, 0};  // asterism 12, no switches
  m.Highlights[4] = {9, 1, 1, 1, 1, 0};    // beyond the count: unused
  m.HighlightCount = 3;
  const struct { int Kind, Number; bool On; } cases[] = {
      {HighlightKind::Name, 5, true},     {HighlightKind::Lines, 5, false},
      {HighlightKind::Lines, 7, true},    {HighlightKind::Greek, 7, true},
      {HighlightKind::StarNames, 7, false}, {HighlightKind::Office, 12, true},
      {HighlightKind::Name, 212, false},  {HighlightKind::Office, 5, false},
      {HighlightKind::Name, 9, false},    {HighlightKind::Lines, 9, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsHighlighted(m, c.Kind, c.Number), c.On) << "kind " << c.Kind << " #" << c.Number;
  // A damaged owner number at the integer limit is no asterism (no wrap-around
  // onto a marked object).
  m.Highlights[3].Object = std::numeric_limits<int32_t>::min() + 199;
  EXPECT_FALSE(IsHighlighted(m, HighlightKind::Office, std::numeric_limits<int32_t>::max()));
  m.Highlights[3].Object = 212;
  m.HighlightCount = 1000;  // a damaged count reads as the whole table
  EXPECT_TRUE(IsHighlighted(m, HighlightKind::Lines, 9));
  m.HighlightCount = -3;
  EXPECT_FALSE(IsHighlighted(m, HighlightKind::Name, 5));
}

TEST(MoonArc, HalfEllipseTurnedByP) {
  TRenderRig rig;
  rig.Buffer.Fill(clBlack);
  rig.Canvas.Pen.Color = clWhite;
  DrawArc(rig.Canvas, 50, 50, 0, 10, 10);
  EXPECT_EQ(rig.Buffer.Get(50, 40), clWhite);        // top of the arc
  EXPECT_EQ(rig.Count(clWhite, 40, 53, 60, 70), 0);  // nothing below the overshoot
  EXPECT_EQ(rig.Buffer.Get(60, 52), clWhite);        // -10 degrees: just below the row
  rig.Buffer.Fill(clBlack);
  DrawArc(rig.Canvas, 50, 50, M_PI / 2, 10, 10);     // turned a quarter: right half
  EXPECT_EQ(rig.Buffer.Get(60, 50), clWhite);
  EXPECT_EQ(rig.Count(clWhite, 30, 30, 47, 70), 0);
  rig.Buffer.Fill(clBlack);
  DrawArc(rig.Canvas, 50, 50, 0, 10, -4);            // a negative b flips it below
  EXPECT_EQ(rig.Buffer.Get(50, 54), clWhite);
  EXPECT_EQ(rig.Count(clWhite, 40, 30, 60, 47), 0);
}

// Screen positions round to the nearest pixel with halves to even; "inside"
// is strict against the centre; "shown" needs the flag and a depth of 0 or more.
TEST_F(SkyDraw, ScreenPositionShownAndInside) {
  const TSkyloom& s = *Rig.Sky;  // centre (400, 216)
  const struct { double U, V, Depth; uint8_t Visible; int Sx, Sy; bool Shown, Inside; } cases[] = {
      {2.5, -2.5, 1, 1, 398, 214, true, true},
      {3.5, 3.5, 1, 1, 396, 220, true, true},
      {-0.5, 0.5, 0, 1, 400, 216, true, true},
      {399.9, 215.9, 1, 1, 0, 432, true, true},
      {400, 0, 1, 1, 0, 216, true, false},
      {0, -216, 1, 1, 400, 0, true, false},
      {-399.5, 0, 1, 0, 800, 216, false, true},
      {0, 0, -1e-9, 1, 400, 216, false, true},
      {5e12, -5e12, 1e-12, 1, 400 - 1000000, 216 - 1000000, true, false},
  };
  for (const auto& c : cases) {
    TSkyPoint p;
    Put(p, c.U, c.V, c.Depth, c.Visible);
    EXPECT_EQ(ScreenX(s, p), c.Sx) << "u " << c.U;
    EXPECT_EQ(ScreenY(s, p), c.Sy) << "v " << c.V;
    EXPECT_EQ(IsShown(p), c.Shown) << "u " << c.U << " depth " << c.Depth;
    EXPECT_EQ(IsInside(s, p), c.Inside) << "u " << c.U << " v " << c.V;
  }
}

// A closed outline: a segment is drawn when either end is shown and inside;
// the closing segment runs from the last point back to the first.
TEST_F(SkyDraw, OutlineSegments) {
  TSkyloom& s = *Rig.Sky;
  TSkyPoint pts[4];
  Put(pts[0], 100, -100);           // (300, 116)
  Put(pts[1], -100, -100);          // (500, 116)
  Put(pts[2], -100, 100, 1, 0);     // (500, 316), hidden
  Put(pts[3], 100, 100, 1, 0);      // (300, 316), hidden
  Rig.Buffer.Fill(clBlack);
  Rig.Canvas.Pen.Color = clWhite;
  DrawOutline(Rig.Canvas, s, pts, 1, 4);
  EXPECT_GE(Rig.Count(clWhite, 301, 116, 499, 116), 198);  // 1-2
  EXPECT_GE(Rig.Count(clWhite, 500, 117, 500, 315), 190);  // 2-3: one end shown
  EXPECT_EQ(Rig.Count(clWhite, 301, 316, 499, 316), 0);    // 3-4: neither end shown
  EXPECT_GE(Rig.Count(clWhite, 300, 117, 300, 315), 190);  // 4-1, the closing segment
  Rig.Buffer.Fill(clBlack);
  Put(pts[0], 900, -100);           // both shown ends now outside the screen
  Put(pts[1], -900, -100);
  DrawOutline(Rig.Canvas, s, pts, 1, 2);
  EXPECT_EQ(Rig.Count(clWhite, 0, 0, 799, 599), 0);
}

// Figure lines: both star numbers strictly between 0 and StarCount, one
// end shown, one end inside; a line to a star behind the viewer is drawn.
TEST_F(SkyDraw, FigureLinesSkipBadStarNumbers) {
  TSkyloom& s = *Rig.Sky;
  s.StarCount = 6;
  Put(s.Stars[1], 0, 0);                 // (400, 216)
  Put(s.Stars[2], -100, 0);              // (500, 216)
  Put(s.Stars[3], 100, 0);               // (300, 216)
  Put(s.Stars[4], 0, 100);               // (400, 316)
  Put(s.Stars[5], 0, -150, -0.5);        // behind the viewer, offsets (400, 66)
  Put(s.Stars[6], 0, 150);               // the N-th star: never a line end
  Put(s.Stars[0], 300, -150);            // whatever lies in the spare slot
  const struct { int A, B; } lines[] = {{1, 2}, {0, 3}, {-1, 3}, {6, 3}, {7, 3}, {3, 4000}, {1, 5}};
  for (int k = 0; k < 7; ++k) s.ConstLines[k + 1] = {lines[k].A, lines[k].B, 1};
  Rig.Switches(0, SkyBits::ConstLines, false, true, false);
  Rig.Draw(clBlack);
  const TColor olive = RGB(150, 150, 0);
  EXPECT_GE(Rig.Count(olive, 402, 216, 498, 216), 96);  // 1-2 drawn
  EXPECT_GE(Rig.Count(olive, 400, 70, 400, 210), 130);  // 1-5 drawn, clipped by the canvas
  // Nothing drawn from star 3 (its partners are all bad numbers) nor to star 6.
  EXPECT_EQ(Rig.Count(olive, 0, 0, 398, 431), 0);
  EXPECT_EQ(Rig.Count(olive, 401, 220, 799, 431), 0);

  // Switched off by the display bit, but turned on by a show highlight.
  Rig.Switches(0, 0, false, true, false);
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(olive, 0, 0, 799, 431), 0);
  Rig.Marks.Highlights[1] = {1, 0, 1, 0, 0, 0};
  Rig.Marks.HighlightCount = 1;
  Rig.Draw(clBlack);
  EXPECT_GE(Rig.Count(olive, 402, 216, 498, 216), 96);
  // The selected constellation's lines through the popup switch, in cyan.
  Rig.Marks.Clear();
  s.SelConst = 1;
  Rig.Popup.ConstellationLines = true;
  Rig.Draw(clBlack);
  EXPECT_GE(Rig.Count(RGB(150, 255, 255), 402, 216, 498, 216), 96);
  // The menu's first item highlights the whole constellation, its figure too.
  Rig.Popup.ConstellationLines = false;
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(RGB(150, 255, 255), 402, 216, 498, 216), 0);
  Rig.Popup.ConstellationHighlight = true;
  Rig.Draw(clBlack);
  EXPECT_GE(Rig.Count(RGB(150, 255, 255), 402, 216, 498, 216), 96);
}

TEST_F(SkyDraw, FigureLineNeedsAShownEndAndAnInsideEnd) {
  TSkyloom& s = *Rig.Sky;
  s.StarCount = 5;
  Put(s.Stars[1], 0, 0, 1, 0);     // centre, below the hidden horizon
  Put(s.Stars[2], -100, 0, 1, 0);  // also hidden
  Put(s.Stars[3], 600, 0);         // shown, left of the screen
  Put(s.Stars[4], 600, 100);       // shown, left of the screen
  s.ConstLines[1] = {1, 2, 1};     // no end shown
  s.ConstLines[2] = {3, 4, 1};     // no end inside
  Rig.Switches(0, SkyBits::ConstLines, false, true, false);
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(RGB(150, 150, 0), 0, 0, 799, 599), 0);
}

// The Moon at the centre with its axis running left-right on screen:
// MoonAxis 1 (5 degrees less longitude) to the right, MoonAxis 2 to the
// left. Below pi the Sun is ahead in longitude and the left side is lit.
// A crescent too thin to fill still shows its lit limb.
TEST_F(SkyDraw, MoonPhaseLightsTheSideTowardTheSun) {
  TSkyloom& s = *Rig.Sky;
  Put(s.Planets[BodyMoon], 0, 0);
  Put(s.MoonAxis[1], -40, 0);
  Put(s.MoonAxis[2], 40, 0);
  const TColor yellow = RGB(255, 255, 0);
  const struct { const char* Name; double Phase; int MinLit, MaxLit; int LitSide; } cases[] = {
      {"full", 0.0, 200, 400, 0},
      {"full (2 pi)", 2 * M_PI, 200, 400, 0},
      {"waning quarter", M_PI / 2, 100, 200, -1},
      {"waxing quarter", 3 * M_PI / 2, 100, 200, +1},
      {"old crescent", M_PI - 1.0, 10, 100, -1},
      {"young crescent", M_PI + 1.0, 10, 100, +1},
      // Thinner than the lines: the lit limb alone, from 7 degrees off the Sun.
      {"thin old crescent", M_PI - 0.4, 10, 60, -1},
      {"thin young crescent", M_PI + 0.25, 10, 60, +1},
      {"unseen, 5 degrees from the Sun", M_PI - 0.09, 0, 0, 0},
      {"new", M_PI, 0, 0, 0},
  };
  for (const auto& c : cases) {
    s.MoonPhase = c.Phase;
    Rig.Draw(clBlack);
    const int left = Rig.Count(yellow, 389, 205, 399, 227);
    const int right = Rig.Count(yellow, 401, 205, 411, 227);
    const int all = left + right + Rig.Count(yellow, 400, 205, 400, 227);
    EXPECT_GE(all, c.MinLit) << c.Name;
    EXPECT_LE(all, c.MaxLit) << c.Name;
    if (c.LitSide < 0) {
      EXPECT_GT(left, 4 * right) << c.Name;
    } else if (c.LitSide > 0) {
      EXPECT_GT(right, 4 * left) << c.Name;
    }
    EXPECT_EQ(Rig.Count(yellow, 0, 0, 799, 599), all) << c.Name << ": yellow outside the disc";
  }
  // The phase is kept within 0..2pi.
  s.MoonPhase = -M_PI / 2;
  Rig.Draw(clBlack);
  EXPECT_NEAR(s.MoonPhase, 3 * M_PI / 2, 1e-12);
  EXPECT_GT(Rig.Count(yellow, 401, 205, 411, 227), 40);
}

TEST_F(SkyDraw, MoonAxisTurnsThePhase) {
  TSkyloom& s = *Rig.Sky;
  Put(s.Planets[BodyMoon], 0, 0);
  s.MoonPhase = M_PI / 2;  // lit toward MoonAxis 2
  Put(s.MoonAxis[1], 0, 40);   // below on screen
  Put(s.MoonAxis[2], 0, -40);  // above on screen
  Rig.Draw(clBlack);
  const TColor yellow = RGB(255, 255, 0);
  EXPECT_GT(Rig.Count(yellow, 390, 205, 410, 215), 4 * Rig.Count(yellow, 390, 217, 410, 227));
}

// The hovered Moon's picture is turned so that its lit limb points the same
// way as the lit side of the Moon drawn in the sky, for every axis and phase.
TEST_F(SkyDraw, HoveredMoonPictureAgreesWithTheSky) {
  TSkyloom& s = *Rig.Sky;
  if (!Rig.Images1.LoadFromFile(RuntimeFile("Messia2.rxf")) || Rig.Images1.Find("Sun2") < 0)
    GTEST_SKIP() << "Messia2.rxf with the Moon's pictures is not built yet";
  Put(s.Planets[BodyMoon], 0, 0);  // drawn at (400, 216)
  Put(s.MoonAxis[2], 0, 0);
  Rig.HoverObject = 202;
  Rig.HoverX = 600;
  Rig.HoverY = 200;
  // Mean offset of the lit pixels of a box of half size r around (x, y).
  auto litDirection = [&](int x, int y, int r, bool yellowOnly, double& dx, double& dy) {
    double n = 0;
    dx = dy = 0;
    for (int yy = y - r; yy < y + r; ++yy)
      for (int xx = x - r; xx < x + r; ++xx) {
        const TColor c = Rig.Buffer.Get(xx, yy);
        const int red = c & 255, green = (c >> 8) & 255, blue = (c >> 16) & 255;
        if (yellowOnly ? (red > 200 && green > 200 && blue < 50) : red + green + blue > 150) {
          dx += xx - x;
          dy += yy - y;
          ++n;
        }
      }
    if (n > 0) dx /= n, dy /= n;
  };
  const struct { double P, Phase; } cases[] = {
      {0, M_PI / 2},  {0, 3 * M_PI / 2},  {M_PI / 2, M_PI / 2}, {M_PI / 2, 3 * M_PI / 2},
      {M_PI, 2.0},    {3 * M_PI / 2, 1.2}, {0.7, 4.0},          {5.5, 2.5}};
  for (const auto& c : cases) {
    Put(s.MoonAxis[1], 20 * std::sin(c.P), 20 * std::cos(c.P));  // turns the phase by P
    s.MoonPhase = c.Phase;
    Rig.Draw(clBlack);
    double skyX, skyY, picX, picY;
    litDirection(400, 216, 16, true, skyX, skyY);
    litDirection(600, 200, 60, false, picX, picY);
    const double skyLen = std::hypot(skyX, skyY), picLen = std::hypot(picX, picY);
    ASSERT_GT(skyLen, 1) << "p " << c.P << " phase " << c.Phase;
    ASSERT_GT(picLen, 1) << "p " << c.P << " phase " << c.Phase;
    EXPECT_GT((skyX * picX + skyY * picY) / (skyLen * picLen), 0.9)
        << "p " << c.P << " phase " << c.Phase;
  }
}

TEST_F(SkyDraw, MoonRimAndStarLimitZero) {
  TSkyloom& s = *Rig.Sky;
  Put(s.Planets[BodyMoon], 0, 0);
  Put(s.MoonAxis[1], -40, 0);
  Put(s.MoonAxis[2], 40, 0);
  s.MoonPhase = M_PI;  // new: only the rim shows
  const TColor yellow = RGB(255, 255, 0), rim = RGB(110, 100, 60);
  Rig.Switches(SkyBits::PlanetNames, 0, true, false, false);
  Rig.Draw(clBlack);
  EXPECT_GT(Rig.Count(rim, 389, 205, 411, 227), 40);  // the planet-name bit rings it, dimly
  EXPECT_EQ(Rig.Count(yellow, 0, 0, 799, 599), 0);
  // A young crescent with its outline: the lit part alone is yellow, not a
  // whole ring.
  s.MoonPhase = M_PI + 1.0;
  Rig.Draw(clBlack);
  EXPECT_LE(Rig.Count(yellow, 389, 205, 399, 227), 4);
  EXPECT_GT(Rig.Count(yellow, 401, 205, 411, 227), 10);
  s.MoonPhase = M_PI;
  s.StarLimit = 0;  // with no stars the Moon shows only next to the Sun
  Put(s.Planets[BodySun], 100, 0);
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(rim, 0, 0, 799, 599), 0);
  EXPECT_EQ(Rig.Count(yellow, 0, 0, 799, 599), 0);
  // Next to the Sun on screen it shows with a bright rim (the places on the
  // sky are far apart here, so it keeps its own size).
  s.Planets[BodySun].Lon = 1;
  Put(s.Planets[BodySun], 10, 15);
  Rig.Draw(clBlack);
  EXPECT_GT(Rig.Count(yellow, 389, 205, 411, 227), 40);
}
TEST_F(SkyDraw, StarMarksAndAreaMarks) {
  TSkyloom& s = *Rig.Sky;
  s.StarCount = 3;
  Put(s.Stars[1], 0, 0);
  Put(s.Stars[2], 200, 0, -1);  // behind the viewer: no marks at all
  Put(s.Stars[3], -200, 100);
  Rig.Marks.StarMarks[1].Star = 1;
  Rig.Marks.StarMarks[1].Circle = 1;
  Rig.Marks.StarMarks[2].Star = 2;
  Rig.Marks.StarMarks[2].Circle = 1;
  Rig.Marks.StarMarks[2].Note = 1;
  Rig.Marks.StarMarks[2].Text.set("Note");
  Rig.Marks.StarMarks[3].Star = 4000;  // beyond StarCount: ignored
  Rig.Marks.StarMarks[3].Circle = 1;
  Rig.Marks.StarMarkCount = 3;
  Rig.Draw(clBlack);
  EXPECT_GT(Rig.Count(clWhite, 394, 210, 406, 222), 20);  // ring around (400, 216)
  EXPECT_EQ(Rig.Count(clWhite, 0, 0, 390, 431), 0);       // nothing at star 2's place
  EXPECT_EQ(Rig.Count(clWhite, 410, 0, 799, 431), 0);

  // An area label at the mean of its members in front: stars 1 and 3.
  Rig.Marks.StarMarkCount = 0;
  TAreaMark& a = Rig.Marks.AreaMarks[1];
  a.Stars[0] = 1;
  a.Stars[1] = 2;
  a.Stars[2] = 3;
  a.Stars[3] = -5;
  a.Count = 4;
  a.Name.set("Area");
  Rig.Marks.AreaMarkCount = 1;
  Rig.Draw(clBlack);
  // Label top-left at (400 + 100, 216 + 50).
  EXPECT_GT(Rig.Count(clWhite, 500, 266, 540, 282), 10);
  EXPECT_EQ(Rig.Count(clWhite, 0, 0, 499, 599), 0);
}

// A star the show writes a note by is not named a second time by the
// bright-star names.
TEST_F(SkyDraw, AStarWithANoteIsNotNamedTwice) {
  TSkyloom& s = *Rig.Sky;
  s.StarCount = 1;
  Put(s.Stars[1], 0, 0);
  s.Stars[1].Mag = 5;
  s.StarNames[1].Star = 1;
  s.StarNames[1].Kind = 2;
  s.StarNames[1].Name.set("Name");
  Rig.Marks.StarMarks[1].Star = 1;
  Rig.Marks.StarMarks[1].Note = 1;
  Rig.Marks.StarMarks[1].Text.set("Its note");
  Rig.Marks.StarMarkCount = 1;
  Rig.Switches(0, 0, false, false, false);
  Rig.Draw(clBlack);
  const TBackBuffer noteOnly = Rig.Buffer;
  Rig.Switches(SkyBits::StarNames, 0, true, false, false);
  Rig.Draw(clBlack);
  int differ = 0;
  for (int x = 0; x < 800; ++x)
    for (int y = 0; y < 432; ++y) differ += Rig.Buffer.Get(x, y) != noteOnly.Get(x, y);
  EXPECT_EQ(differ, 0) << "the star's name was drawn over its note";
  // Without the note the name is there.
  Rig.Marks.StarMarkCount = 0;
  Rig.Draw(clBlack);
  EXPECT_GT(Rig.Count(clWhite, 400, 216, 460, 240), 10);
}

// A star mark's name: "<constellation> - " above right of the star, by the
// language switch, then the Greek letter in the Symbol face on the same top
// line right after it (the two faces differ in height).
TEST_F(SkyDraw, StarMarkNameAndGreekLetter) {
  TSkyloom& s = *Rig.Sky;
  s.StarCount = 2;
  Put(s.Stars[1], 0, 0);  // (400, 216)
  s.Stars[1].Owner = 3;
  s.Stars[1].Greek = 'b';
  s.Consts[3].Name.set("Con ");
  s.Consts[3].EShort.set(" Cn");
  Rig.Marks.StarMarks[1].Star = 1;
  Rig.Marks.StarMarks[1].Name = 1;
  Rig.Marks.StarMarkCount = 1;
  const struct { int English; const char* Text; } cases[] = {
      {0, "Con - "}, {1, "Cn - "}, {2, " - "}};
  for (const auto& c : cases) {
    s.English = c.English;
    Rig.Draw(clBlack);
    // The same texts laid out by hand on a second surface.
    TBackBuffer expected(800, 600);
    expected.Fill(clBlack);
    TCanvas cv(expected);
    cv.Brush.Style = TBrushStyle::Clear;
    cv.Font.Color = clWhite;
    cv.Font.Name = SongFont;
    cv.Font.Height = -12;
    const int y = 216 - cv.TextHeight(c.Text) - 2;
    cv.TextOut(405, y, c.Text);
    const int x = 405 + cv.TextWidth(c.Text);
    cv.Font.Name = "Symbol";
    cv.TextOut(x, y, "b");
    int differ = 0;
    for (int yy = 150; yy < 230; ++yy)
      for (int xx = 380; xx < 520; ++xx) differ += Rig.Buffer.Get(xx, yy) != expected.Get(xx, yy);
    EXPECT_EQ(differ, 0) << "English " << c.English;
  }
}

// Name layers: which switch turns a label on and in which colour.
TEST_F(SkyDraw, NameLayersAndColours) {
  TSkyloom& s = *Rig.Sky;
  TSkyObject& c = s.Consts[3];
  c.Name.set("Con");
  c.EName.set("Cons");
  c.HasLabel = 1;
  c.LabelX = 100.4;
  c.LabelY = 50;
  TSkyObject& a = s.Offices[12];
  a.Name.set("Ast");
  a.HasLabel = 1;
  a.LabelX = 300;
  a.LabelY = 50;
  TSkyObject& hidden = s.Consts[4];  // switched on but with no anchor
  hidden.Name.set("None");
  hidden.LabelX = hidden.LabelY = -10000;
  s.LabelTexts[5].Name.set("10");
  s.LabelTexts[6].Name.set("20");
  Put(s.Labels[5], 0, 100, 0.2);   // grid label in front enough
  Put(s.Labels[6], -200, 100, 0.1);  // below sin 10 degrees of depth: not drawn
  auto inBox = [&](TColor colour, int x, int y) { return Rig.Count(colour, x, y, x + 40, y + 14); };
  const TColor orange = RGB(255, 150, 50);

  Rig.Draw(clBlack);  // everything off
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 599), 800 * 600);

  Rig.Switches(SkyBits::ConstNames | SkyBits::OfficeNames, SkyBits::Grid, true, true, false);
  Rig.Draw(clBlack);
  EXPECT_GT(inBox(clWhite, 100, 50), 10);
  EXPECT_GT(inBox(orange, 300, 50), 10);
  EXPECT_GT(inBox(clWhite, 400, 316), 4);
  EXPECT_EQ(inBox(clWhite, 600, 316), 0);
  EXPECT_EQ(Rig.Count(clWhite, 0, 100, 399, 599), 0);  // nothing at (-10000, -10000) nearby

  // Selected: the constellation in cyan, the asterism in light orange.
  Rig.Switches(SkyBits::ConstNames | SkyBits::OfficeNames, 0, true, false, false);
  s.SelConst = 3;
  Rig.Draw(clBlack);
  EXPECT_GT(inBox(RGB(150, 255, 255), 100, 50), 10);
  s.SelConst = 212;
  Rig.Draw(clBlack);
  EXPECT_GT(inBox(RGB(255, 200, 100), 300, 50), 10);

  // Off by the switches, on by a highlight or the popup switch.
  Rig.Switches(0, 0, false, false, false);
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 599), 800 * 600);
  Rig.Marks.Highlights[1] = {3, 1, 0, 0, 0, 0};
  Rig.Marks.Highlights[2] = {212, 0, 0, 0, 0, 0};
  Rig.Marks.HighlightCount = 2;
  Rig.Draw(clBlack);
  EXPECT_GT(inBox(clWhite, 100, 50), 10);
  EXPECT_GT(inBox(RGB(255, 200, 100), 300, 50), 10);
  Rig.Marks.Clear();
  s.SelConst = 3;
  Rig.Popup.ConstellationHighlight = true;
  Rig.Draw(clBlack);
  EXPECT_GT(inBox(RGB(150, 255, 255), 100, 50), 10);
  EXPECT_EQ(inBox(RGB(255, 150, 50), 300, 50), 0);

  // English texts where the layer has them.
  const TBackBuffer chinese = Rig.Buffer;
  s.English = 1;
  Rig.Draw(clBlack);
  int differ = 0;
  for (int x = 100; x < 150; ++x)
    for (int y = 50; y < 64; ++y) differ += Rig.Buffer.Get(x, y) != chinese.Get(x, y);
  EXPECT_GT(differ, 3);  // "Cons" is longer than "Con"
}

// When no horizon point lies in front of the viewer, the ground fills the
// sky area looking down and is absent looking up.
TEST_F(SkyDraw, GroundWithNoHorizonInFront) {
  TSkyloom& s = *Rig.Sky;
  if (!Rig.Images.LoadFromFile(RuntimeFile("LoadImg.rxf")) || Rig.Images.Find("Ground") < 0)
    GTEST_SKIP() << "LoadImg.rxf with the Ground picture is not built yet";
  for (int i = 1; i <= HorizonPoints; ++i) Put(s.Horizon[i], 0, 0, -0.5);
  s.ScreenHeight = 432;
  Rig.Switches(0, 0, false, false, true);
  s.ViewAlt = -M_PI / 2;
  Rig.Draw(clBlack);
  const int sky = 800 * 432;
  EXPECT_GT(sky - Rig.Count(clBlack, 0, 0, 799, 431), sky * 9 / 10);
  s.ViewAlt = M_PI / 2;
  Rig.Draw(clBlack);
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 431), sky);
}

TEST_F(SkyDraw, NothingWhenTheSurfaceCannotDraw) {
  TSkyloom& s = *Rig.Sky;
  Put(s.Planets[BodyMoon], 0, 0);
  s.MoonPhase = 0;
  Rig.Buffer.Fill(clBlack);
  TSkyDrawContext ctx{s, Rig.Buffer, Rig.Canvas, Rig.Images, Rig.Images1, Rig.Marks, Rig.Popup};
  ctx.CanDraw = false;
  DrawSky(ctx);
  EXPECT_EQ(Rig.Count(clBlack, 0, 0, 799, 599), 800 * 600);
}

}  // namespace
