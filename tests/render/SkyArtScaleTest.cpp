// The sky's pictures on a large stage: the Sun, the planets, the direction
// boards and the trees drawn at the interface scale from the pictures the
// art tool drew at 2x and 3x (reduced between the steps, never the 1x ones
// enlarged), with their offsets and the rectangles labels keep off scaled
// alike. Pictures are saved under <build>/render-pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "Gbk.h"
#include "ImageNames.h"
#include "Png.h"
#include "RenderRig.h"
#include "ScreenGeometry.h"
#include "SolarSystem.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

namespace fs = std::filesystem;

// The scaled lists as the program makes them: TScaledPanelArt and
// TScaledHoverArt read their libraries from the current folder (the
// program's own).
struct TArtAt {
  TScaledPanelArt Art;
  TScaledHoverArt Hover;
  const TDXImageList& For(const TDXImageList& base, double scale) {
    const fs::path old = fs::current_path();
    fs::current_path(SKYLOOM_RUNTIME_DIR);
    const TDXImageList& list = Art.For(base, scale);
    fs::current_path(old);
    return list;
  }
  TScaledHoverArt::TPick HoverFor(const TDXImageList& base, const std::string& name,
                                  double scale, int frame = 0) {
    const fs::path old = fs::current_path();
    fs::current_path(SKYLOOM_RUNTIME_DIR);
    const TScaledHoverArt::TPick pick = Hover.For(base, name, frame, scale);
    fs::current_path(old);
    return pick;
  }
};

// The box holding every pixel that passes `keep` within [x0, x1] x [y0, y1].
struct TExtent {
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
  int Width() const { return Right < Left ? 0 : Right - Left + 1; }
  int Height() const { return Bottom < Top ? 0 : Bottom - Top + 1; }
  bool Meets(const TRect& r) const {
    return Width() > 0 && r.Left <= Right && Left < r.Right && r.Top <= Bottom && Top < r.Bottom;
  }
};
TExtent ExtentOf(const TBackBuffer& b, int x0, int y0, int x1, int y1,
                 const std::function<bool(TColor)>& keep) {
  TExtent e;
  for (int y = std::max(y0, 0); y <= std::min(y1, b.Height() - 1); ++y)
    for (int x = std::max(x0, 0); x <= std::min(x1, b.Width() - 1); ++x)
      if (keep(b.Get(x, y))) {
        e.Left = std::min(e.Left, x);
        e.Right = std::max(e.Right, x);
        e.Top = std::min(e.Top, y);
        e.Bottom = std::max(e.Bottom, y);
      }
  return e;
}
// The run of pixels passing `keep` through (x, y), across and down.
TExtent RunThrough(const TBackBuffer& b, int x, int y, const std::function<bool(TColor)>& keep) {
  TExtent e;
  if (!keep(b.Get(x, y))) return e;
  e.Left = e.Right = x;
  e.Top = e.Bottom = y;
  while (e.Left > 0 && keep(b.Get(e.Left - 1, y))) --e.Left;
  while (e.Right + 1 < b.Width() && keep(b.Get(e.Right + 1, y))) ++e.Right;
  while (e.Top > 0 && keep(b.Get(x, e.Top - 1))) --e.Top;
  while (e.Bottom + 1 < b.Height() && keep(b.Get(x, e.Bottom + 1))) ++e.Bottom;
  return e;
}
int Red(TColor c) { return c & 255; }
int Green(TColor c) { return (c >> 8) & 255; }
int Blue(TColor c) { return (c >> 16) & 255; }

// One stage: 800x600 at 1x or 1920x1080 at 1.75, with the sky's pictures
// from the scaled lists.
struct TStage {
  TRenderRig Rig;
  TArtAt Art;
  TSkyloom& S = *Rig.Sky;
  bool Ready = false;
  TScaledHoverArt::TPick HoverPick;  // Jupiter's picture

  TStage(int w, int h, double scale) : Rig(w, h, scale) {
    Ready = LoadStarDataFrom(S, RuntimeFile(StarDataFileName)) &&
            Rig.Images.LoadFromFile(RuntimeFile("LoadImg.rxf")) &&
            Rig.Images.Find(ImageNames::BoardList) >= 0 &&
            Rig.Images1.LoadFromFile(RuntimeFile("Messia2.rxf"));
    const TDXImageList& list = Art.For(Rig.Images, scale);
    if (&list != &Rig.Images) {
      Rig.ScaledImages = &list;
      Rig.ArtScale = scale;
    }
    // The hover pictures' library is read on the first picture asked for.
    HoverPick = Art.HoverFor(Rig.Images1, "Sun6", scale);
    Rig.HoverArt = &Art.Hover;
  }
  void Save(const std::string& name) {
    std::string error;
    EXPECT_TRUE(SavePng(Rig.Buffer, OutputFile(name), error)) << error;
  }
  // The view turned onto a body, `belowDeg` degrees under it.
  void Face(int body, double belowDeg) {
    S.UpdateSky();
    const TSkyPoint& p = S.Planets[body];
    const TVector3 h = HorizontalDirection(p.Lon, p.Lat - belowDeg * DegToRad, S);
    S.ViewAz = AngleOf(h.X, h.Y);
    S.ViewAlt = NormalizeSigned(AngleOf(std::hypot(h.X, h.Y), h.Z));
    S.UpdateSky();
  }
  // Beijing on a winter night looking level to the south: a black sky, no
  // stars, the ground with its 南 board in the middle and, if asked, one
  // tree standing where the board stands (the board then taken away).
  void GroundScene(bool tree) {
    Rig.Place(39.9, 116.4, 8);
    Rig.When(2026, 1, 15, 21, 0);
    Rig.Switches(0, 0, false, false, true);
    S.RealisticSky = 0;
    S.MilkyWay = 0;
    S.StarLimit = -1;
    Rig.View(0, 0);
    S.UpdateSky();
    int south = 0;
    for (int b = 51; b <= 58; ++b)
      if (S.Scenery[b].Image == 3) south = b;  // frame 3: 南
    ASSERT_GT(south, 0);
    const double place = S.Scenery[south].Lat;
    for (int t = 1; t <= 50; ++t) S.Scenery[t].Lat = 0;
    if (tree) {
      S.Scenery[1].Lat = place;
      S.Scenery[1].Image = 0;  // the broad oak
      for (int b = 51; b <= 58; ++b) S.Scenery[b].Mag = 0;
    }
  }
  // The first row of the ground in the stage's middle column ... the
  // haze line lights it.
  int GroundTop() const {
    for (int y = 0; y < S.ScreenHeight; ++y) {
      bool ground = true;
      for (int x : {5, S.ScreenWidth - 5}) ground = ground && Rig.Buffer.Get(x, y) != clBlack;
      if (ground) return y;
    }
    return S.ScreenHeight;
  }
};

bool Lit(TColor c) { return c != clBlack; }
// The board's light wood.
bool Wood(TColor c) { return Red(c) > 150 && Green(c) > 110 && Blue(c) < 200; }
// The Sun's disc (not its glow).
bool SunDisc(TColor c) { return Red(c) >= 245 && Green(c) >= 195; }

constexpr double Big = 1.75;
// The 1.75 stage against the 1x one: the same picture 1.75 times as large,
// give or take the rounding of a small picture.
void ExpectScaled(int one, int big, const char* what) {
  ASSERT_GT(one, 0) << what;
  EXPECT_NEAR(static_cast<double>(big) / one, Big, 0.2) << what << ": " << one << " -> " << big;
}

}  // namespace

TEST(SkyArtScale, PicturesComeFromTheLargerLibrariesNeverFromThe1x) {
  TDXImageList base;
  if (!base.LoadFromFile(RuntimeFile("LoadImg.rxf")))
    GTEST_SKIP() << "LoadImg.rxf is not built yet (runtime target)";
  TDXImageList drawn2x;
  ASSERT_TRUE(drawn2x.LoadFromFile(RuntimeFile("LoadImg2x.rxf")));
  const char* const sky[] = {ImageNames::StarShine, ImageNames::StarTint, ImageNames::StarBall,
                             ImageNames::CloudImg,  ImageNames::Sun,      ImageNames::Tree,
                             ImageNames::BoardList, ImageNames::BoardListEn};
  for (double scale : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
    TArtAt art;
    const TDXImageList& list = art.For(base, scale);
    ASSERT_NE(&list, &base) << scale;
    for (const char* name : sky) {
      const int i = list.Find(name), b = base.Find(name);
      ASSERT_GE(i, 0) << name << " at " << scale;
      EXPECT_EQ(list.Width(i), std::lround(base.Width(b) * scale)) << name << " at " << scale;
      EXPECT_EQ(list.Height(i), std::lround(base.Height(b) * scale)) << name << " at " << scale;
      EXPECT_EQ(list.FrameCount(i), base.FrameCount(b)) << name << " at " << scale;
    }
    // The ground texture is laid at its own size from the 1x library.
    EXPECT_EQ(list.Find(ImageNames::Ground), -1) << scale;
  }
  // At 1.25 the Sun is the 2x Sun reduced by area averaging.
  TArtAt art;
  const TDXImageList& small = art.For(base, 1.25);
  const LibraryImage* sun = small.Image(small.Find(ImageNames::Sun));
  const LibraryImage* sun2x = drawn2x.Image(drawn2x.Find(ImageNames::Sun));
  ASSERT_TRUE(sun && sun2x);
  EXPECT_EQ(sun->Pixels, ReduceImage(*sun2x, 0.625).Pixels);
  // At 1 and beyond 3 the 1x pictures themselves, at their own size.
  EXPECT_EQ(&art.For(base, 1), &base);
  EXPECT_EQ(&art.For(base, 3.5), &base);
}

// The hovered Moon at 1.75: only the frame of its phase, the 2x frame
// reduced; another phase gives that frame; at 1x the 1x library itself.
TEST(SkyArtScale, TheHoveredMoonIsItsPhasesFrameReducedFromThe2xPicture) {
  TDXImageList base;
  if (!base.LoadFromFile(RuntimeFile("Messia2.rxf")))
    GTEST_SKIP() << "Messia2.rxf is not built yet (runtime target)";
  LibraryImage moon2x;
  std::string error;
  ASSERT_TRUE(ReadLibraryImage(RuntimeFile("Messia2-2x.rxf"), "Sun2", moon2x, error)) << error;
  ASSERT_GT(moon2x.FrameCount, 40);
  TArtAt art;
  for (int frame : {7, 30, 7}) {
    const TScaledHoverArt::TPick pick = art.HoverFor(base, "Sun2", 1.75, frame);
    ASSERT_NE(pick.List, &base);
    ASSERT_EQ(pick.List->Count(), 1);
    const LibraryImage* shown = pick.List->Image(pick.Image);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->FrameCount, 1);
    EXPECT_EQ(pick.Frame, 0);
    LibraryImage one = moon2x;
    one.FrameCount = 1;
    const size_t size = static_cast<size_t>(one.FrameWidth) * one.FrameHeight;
    one.Pixels.assign(moon2x.Pixels.begin() + static_cast<ptrdiff_t>(size * frame),
                      moon2x.Pixels.begin() + static_cast<ptrdiff_t>(size * (frame + 1)));
    EXPECT_EQ(shown->Pixels, ReduceImage(one, 1.75 / 2).Pixels) << frame;
  }
  art.Hover.Release();
  const TScaledHoverArt::TPick plain = art.HoverFor(base, "Sun2", 1.0, 12);
  EXPECT_EQ(plain.List, &base);
  EXPECT_EQ(plain.Frame, 12);
  // A name the 2x library lacks: the 1x picture.
  EXPECT_EQ(art.HoverFor(base, "NoSuchPicture", 1.75).List, &base);
}

TEST(SkyArtScale, BoardsTreesSunAndPlanetsGrowWithTheStage) {
  TStage one(800, 600, 1), big(1920, 1080, Big);
  if (!one.Ready || !big.Ready) GTEST_SKIP() << "runtime files are not built yet";
  ASSERT_NE(big.Rig.ScaledImages, nullptr);

  // The 南 board: its sign's size and how high it stands over the ground.
  struct TBoard {
    TExtent Sign;
    int Ground = 0;
  };
  const auto board = [](TStage& st, const char* file) {
    st.GroundScene(false);
    st.Rig.Draw(clBlack);
    st.Save(file);
    TBoard b;
    b.Ground = st.GroundTop();
    b.Sign = ExtentOf(st.Rig.Buffer, 0, 0, st.S.ScreenWidth - 1, b.Ground, Wood);
    return b;
  };
  const TBoard b1 = board(one, "scaled_board_800.png"), b2 = board(big, "scaled_board_1920.png");
  ExpectScaled(b1.Sign.Width(), b2.Sign.Width(), "board width");
  ExpectScaled(b1.Sign.Height(), b2.Sign.Height(), "board height");
  ExpectScaled(b1.Ground - b1.Sign.Top, b2.Ground - b2.Sign.Top, "board's top over the ground");
  EXPECT_NEAR((b2.Sign.Left + b2.Sign.Right) / 2.0, big.S.CenterX, 2) << "centred on its place";

  // One tree where the board stood: everything lit above the ground.
  const auto tree = [](TStage& st, const char* file) {
    st.GroundScene(true);
    st.Rig.Draw(clBlack);
    st.Save(file);
    return ExtentOf(st.Rig.Buffer, 0, 0, st.S.ScreenWidth - 1, st.GroundTop() - 1, Lit);
  };
  const TExtent t1 = tree(one, "scaled_tree_800.png"), t2 = tree(big, "scaled_tree_1920.png");
  ExpectScaled(t1.Width(), t2.Width(), "tree width");
  ExpectScaled(t1.Height(), t2.Height(), "tree height");

  // The Sun at noon, in the navy day sky: its disc.
  const auto sun = [](TStage& st, const char* file) {
    st.Rig.Place(39.9, 116.4, 8);
    st.Rig.When(2026, 6, 21, 12, 0);
    st.Rig.Switches(0, 0, false, false, false);
    st.S.RealisticSky = 0;
    st.Face(BodySun, 0);
    st.Rig.Draw(DaySky);
    st.Save(file);
    const int x = ScreenX(st.S, st.S.Planets[BodySun]), y = ScreenY(st.S, st.S.Planets[BodySun]);
    return RunThrough(st.Rig.Buffer, x, y, SunDisc);
  };
  const TExtent s1 = sun(one, "scaled_sun_800.png"), s2 = sun(big, "scaled_sun_1920.png");
  ExpectScaled(s1.Width(), s2.Width(), "Sun's disc across");
  ExpectScaled(s1.Height(), s2.Height(), "Sun's disc down");

  // The full Moon's disc, drawn at the stage's own resolution.
  const auto moon = [](TStage& st, const char* file) {
    st.Rig.Place(39.9, 116.4, 8);
    st.Rig.When(2026, 1, 3, 21, 0);
    st.Rig.Switches(0, 0, false, false, false);
    st.S.RealisticSky = 0;
    st.S.StarLimit = 60;
    st.Face(BodyMoon, 0);
    st.Rig.Draw(clBlack);
    st.Save(file);
    const auto yellow = [](TColor c) { return Red(c) > 240 && Green(c) > 240 && Blue(c) < 60; };
    return RunThrough(st.Rig.Buffer, ScreenX(st.S, st.S.Planets[BodyMoon]),
                      ScreenY(st.S, st.S.Planets[BodyMoon]), yellow);
  };
  const TExtent m1 = moon(one, "scaled_moon_800.png"), m2 = moon(big, "scaled_moon_1920.png");
  ExpectScaled(m1.Width(), m2.Width(), "Moon's disc across");
  ExpectScaled(m1.Height(), m2.Height(), "Moon's disc down");

  // Jupiter alone on a night sky.
  const auto planet = [](TStage& st, const char* file) {
    st.Rig.Place(39.9, 116.4, 8);
    st.Rig.When(2026, 1, 10, 23, 0);  // Jupiter near opposition
    st.Rig.Switches(0, 0, false, false, false);
    st.S.RealisticSky = 0;
    st.S.MilkyWay = 0;
    st.S.StarLimit = 60;
    st.Face(BodyJupiter, 0);
    st.S.StarCount = 0;
    for (int i = 1; i <= MaxMessier; ++i) st.S.Messier[i].Visible = 0;
    for (int j = 1; j <= MaxBodies; ++j)
      if (j != BodyJupiter) st.S.Planets[j].Visible = 0;
    st.Rig.Draw(clBlack);
    st.Save(file);
    const int x = ScreenX(st.S, st.S.Planets[BodyJupiter]);
    const int y = ScreenY(st.S, st.S.Planets[BodyJupiter]);
    return ExtentOf(st.Rig.Buffer, x - 40, y - 40, x + 40, y + 40, Lit);
  };
  const TExtent p1 = planet(one, "scaled_planet_800.png");
  const TExtent p2 = planet(big, "scaled_planet_1920.png");
  ExpectScaled(p1.Width(), p2.Width(), "planet across");
  ExpectScaled(p1.Height(), p2.Height(), "planet down");

  // The pointer on Jupiter: its picture, centred on the pointer.
  const auto hovered = [](TStage& st, const char* file) {
    const int x = ScreenX(st.S, st.S.Planets[BodyJupiter]);
    const int y = ScreenY(st.S, st.S.Planets[BodyJupiter]);
    st.Rig.HoverObject = 200 + BodyJupiter;
    st.Rig.HoverX = x;
    st.Rig.HoverY = y;
    st.Rig.Draw(clBlack);
    st.Save(file);
    st.Rig.HoverObject = 0;
    const TExtent e = ExtentOf(st.Rig.Buffer, x - 150, y - 150, x + 150, y + 150, Lit);
    EXPECT_NEAR((e.Left + e.Right) / 2.0, x, 2) << file;
    EXPECT_NEAR((e.Top + e.Bottom) / 2.0, y, 2) << file;
    return e;
  };
  const TExtent h1 = hovered(one, "scaled_hover_800.png");
  const TExtent h2 = hovered(big, "scaled_hover_1920.png");
  ExpectScaled(h1.Width(), h2.Width(), "hovered picture across");
  ExpectScaled(h1.Height(), h2.Height(), "hovered picture down");
  // Drawn from the 2x picture reduced, not from the 1x one.
  ASSERT_NE(big.HoverPick.List, nullptr);
  EXPECT_NE(big.HoverPick.List, &big.Rig.Images1);
  EXPECT_EQ(big.HoverPick.List->Width(big.HoverPick.Image), 168);
  EXPECT_EQ(one.HoverPick.List, &one.Rig.Images1);
}

TEST(SkyArtScale, LabelsKeepOffTheScaledBoardAndSun) {
  TStage big(1920, 1080, Big);
  if (!big.Ready) GTEST_SKIP() << "runtime files are not built yet";
  TSkyloom& s = big.S;
  s.LabelPlacement = 1;

  // A named star right on the middle of the board's sign: its name may
  // stand anywhere but on the sign.
  big.GroundScene(false);
  big.Rig.Draw(clBlack);
  const int ground = big.GroundTop();
  const TExtent sign = ExtentOf(big.Rig.Buffer, 0, 0, s.ScreenWidth - 1, ground, Wood);
  ASSERT_GT(sign.Width(), 30);
  const std::string name = Utf8ToGbk("天狼星");
  s.StarLimit = 60;
  s.StarCount = 1;
  TSkyPoint& star = s.Stars[1];
  star.Y = s.CenterX - (sign.Left + sign.Right) / 2;  // screen x = CenterX - Y
  star.X = (sign.Top + sign.Bottom) / 2 - s.CenterY;  // screen y = CenterY + X
  star.Z = 1;
  star.Visible = 1;
  star.Mag = 5;
  for (int i = 1; i <= MaxStarNames; ++i) s.StarNames[i].Kind = 0;
  s.StarNames[1].Star = 1;
  s.StarNames[1].Kind = 2;
  s.StarNames[1].Name.set(name.c_str());
  s.Mode1 = SkyBits::StarNames;
  s.NamesOn = true;
  s.DeriveShowFlags();
  big.Rig.Draw(clBlack);
  big.Save("scaled_board_label_1920.png");
  const TRect board{sign.Left, sign.Top, sign.Right + 1, ground};
  for (const TPlacedLabel& p : big.Rig.Placed) {
    EXPECT_FALSE(sign.Width() > 0 && p.Box.Left < board.Right && board.Left < p.Box.Right &&
                 p.Box.Top < board.Bottom && board.Top < p.Box.Bottom)
        << "label over the board at " << p.Box.Left << "," << p.Box.Top;
  }

  // The Sun's name beside its disc, not on it.
  big.Rig.Place(39.9, 116.4, 8);
  big.Rig.When(2026, 6, 21, 12, 0);
  big.Rig.Switches(SkyBits::PlanetNames, 0, true, false, false);
  s.RealisticSky = 0;
  big.Face(BodySun, 0);
  big.Rig.Draw(DaySky);
  big.Save("scaled_sun_label_1920.png");
  const int x = ScreenX(s, s.Planets[BodySun]), y = ScreenY(s, s.Planets[BodySun]);
  const TExtent disc = RunThrough(big.Rig.Buffer, x, y, SunDisc);
  ASSERT_GT(disc.Width(), 30);
  const std::string sunName = BodyName(BodySun).str();
  bool named = false;
  for (const TPlacedLabel& p : big.Rig.Placed) {
    if (p.Text != sunName) continue;
    named = true;
    EXPECT_FALSE(disc.Meets(p.Box)) << "the Sun's name on its disc at " << p.Box.Left << ","
                                    << p.Box.Top;
  }
  EXPECT_TRUE(named);
}
