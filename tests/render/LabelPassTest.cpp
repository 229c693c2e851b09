// The label placement pass on small hand-made cases: priority decides who
// keeps a place, the others move around their object or are dropped, blocked
// areas and the sky area's edges are respected; word-spaced English texts;
// the covered fraction of the Sun and the drawing-option flips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DrawOptions.h"
#include "LabelPass.h"
#include "SkyDraw.h"
#include "SkyLight.h"

namespace {

struct LabelPassTest : ::testing::Test {
  TBackBuffer Buffer{400, 300};
  TCanvas Canvas{Buffer};
  TLabelPass Pass;
  std::vector<TPlacedLabel> Placed;
  void SetUp() override {
    Canvas.Font.Name = SongFont;
    Canvas.Font.Height = -12;
    Pass.Reset(400, 300);
  }
  void Add(uint8_t priority, const char* text, int px, int py) {
    Pass.Add(priority, text, false, clWhite, px + 5, py + 5, TLabelAnchor::Point, px, py, 5);
  }
  const TPlacedLabel* Find(const std::string& text) const {
    for (const auto& l : Placed)
      if (l.Text == text) return &l;
    return nullptr;
  }
};

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TEST_F(LabelPassTest, PriorityKeepsTheUsualPlaceAndOthersMove) {
  // Three stars at one point: the first comer of the highest priority sits
  // at its usual place, the rest go round the point; nothing overlaps.
  Add(LabelPriority::Greek, "Greek", 200, 150);
  Add(LabelPriority::Bodies, "Saturn", 200, 150);
  Add(LabelPriority::Bodies, "Mars", 200, 150);
  Pass.Place(Canvas, SongFont, &Placed);
  ASSERT_EQ(Placed.size(), 3u);
  EXPECT_EQ(Placed[0].Text, "Saturn");
  EXPECT_EQ(Placed[0].Box.Left, 205);
  EXPECT_EQ(Placed[0].Box.Top, 155);
  EXPECT_EQ(Placed[1].Text, "Mars");
  EXPECT_EQ(Placed[2].Text, "Greek");
  for (size_t i = 0; i < Placed.size(); ++i)
    for (size_t j = i + 1; j < Placed.size(); ++j) EXPECT_FALSE(Overlap(Placed[i].Box, Placed[j].Box));
}

TEST_F(LabelPassTest, DroppedWhenNoPlaceIsFree) {
  for (int i = 0; i < 12; ++i)  // texts made here are kept by the pass
    Pass.Add(LabelPriority::Messier, std::string("M").append(std::to_string(i)), false, clWhite,
             205, 155, TLabelAnchor::Point, 200, 150, 5, 0, true);
  Pass.Place(Canvas, SongFont, &Placed);
  // Some of the places round the point overlap one another: at least the
  // four corners hold a label, and the rest are dropped.
  EXPECT_GE(Placed.size(), 4u);
  EXPECT_LT(Placed.size(), 12u);
  EXPECT_EQ(Placed[0].Text, "M0");
  for (size_t i = 0; i < Placed.size(); ++i)
    for (size_t j = i + 1; j < Placed.size(); ++j) EXPECT_FALSE(Overlap(Placed[i].Box, Placed[j].Box));
}

TEST_F(LabelPassTest, BlockedAreasAndEdges) {
  const struct {
    const char* Name;
    TRect Block;
    int Px, Py;
    bool Drawn, Usual;
  } cases[] = {
      {"free", {0, 0, 0, 0}, 100, 100, true, true},
      {"ground below the point: moves up", {0, 103, 400, 300}, 100, 100, true, false},
      {"all round blocked: dropped", {60, 60, 160, 160}, 100, 100, false, false},
      {"at the right edge: moves left", {0, 0, 0, 0}, 395, 100, true, false},
      {"off the sky area: dropped", {0, 0, 0, 0}, 100, 320, false, false},
  };
  for (const auto& c : cases) {
    Pass.Reset(400, 300);
    Placed.clear();
    Pass.Block(c.Block);
    Add(LabelPriority::BrightStars, "Vega", c.Px, c.Py);
    Pass.Place(Canvas, SongFont, &Placed);
    ASSERT_EQ(Placed.size(), c.Drawn ? 1u : 0u) << c.Name;
    if (!c.Drawn) continue;
    const TRect& b = Placed[0].Box;
    EXPECT_EQ(b.Left == c.Px + 5 && b.Top == c.Py + 5, c.Usual) << c.Name;
    EXPECT_FALSE(Overlap(b, c.Block)) << c.Name;
    EXPECT_GE(b.Left, 0);
    EXPECT_LE(b.Right, 400) << c.Name;
  }
  // A disc keeps labels off it.
  Pass.Reset(400, 300);
  Placed.clear();
  Pass.BlockDisc(100, 100, 12);
  Pass.Add(LabelPriority::Bodies, "Sun", false, clWhite, 95, 95, TLabelAnchor::Point, 100, 100, 14);
  Pass.Place(Canvas, SongFont, &Placed);
  ASSERT_EQ(Placed.size(), 1u);
  EXPECT_FALSE(Overlap(Placed[0].Box, TRect{92, 92, 108, 108}));
}

TEST_F(LabelPassTest, EnglishWordsAreSetCloser) {
  std::string scratch;
  const int single = LabelTextWidth(Canvas, "Canis", scratch) + LabelTextWidth(Canvas, "Major", scratch);
  EXPECT_EQ(LabelTextWidth(Canvas, "Canis Major", scratch), single + WordGap);
  EXPECT_EQ(LabelTextWidth(Canvas, "Canis  Major", scratch), single + WordGap);
  // Chinese texts are written whole.
  Canvas.Font.Name = SongFont;
  const std::string zh = "\xB4\xF3\xC8\xAE\xD7\xF9";  // 大犬座
  EXPECT_EQ(LabelTextWidth(Canvas, zh, scratch), Canvas.TextWidth(zh));
}

TEST(SunCover, CoveredFraction) {
  const struct { double Rs, Rm, D, Want, Tol; } cases[] = {
      {1, 1, 2.5, 0, 0},       // apart
      {1, 1, 2.0, 0, 1e-9},    // touching
      {1, 1.05, 0, 1, 0},      // total
      {1, 0.9, 0, 0.81, 1e-9}, // annular
      {1, 1, 0, 1, 0},
      {1, 1, 1, 0.391, 0.001}, // lens of two unit circles one radius apart
  };
  for (const auto& c : cases) EXPECT_NEAR(CoveredFraction(c.Rs, c.Rm, c.D), c.Want, c.Tol);
}

TEST(DrawOptions, FlipsMarkTheSkyStale) {
  TSkyloom sky;
  EXPECT_EQ(sky.LabelPlacement, 1);
  EXPECT_EQ(sky.RealisticSky, 1);
  bool stale = false;
  FlipLabelPlacement(sky, stale);
  EXPECT_TRUE(stale);
  EXPECT_EQ(sky.LabelPlacement, 0);
  stale = false;
  FlipRealisticSky(sky, stale);
  EXPECT_TRUE(stale);
  EXPECT_EQ(sky.RealisticSky, 0);
  FlipLabelPlacement(sky, stale);
  FlipRealisticSky(sky, stale);
  EXPECT_EQ(sky.LabelPlacement, 1);
  EXPECT_EQ(sky.RealisticSky, 1);
}

}  // namespace
