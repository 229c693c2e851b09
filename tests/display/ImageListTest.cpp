// Image lists: finding, plain, alpha and rotated drawing into the RGB565
// buffer, with clipping and missing images or frames.
#include <gtest/gtest.h>

#include <climits>

#include "ImageList.h"

namespace {

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueGreen = 0xFF00FF00, kOpaqueBlue = 0xFF0000FF;
constexpr TColor kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

LibraryImage Solid(const std::string& name, int w, int h, std::vector<uint32_t> frameColours) {
  LibraryImage im;
  im.Name = name;
  im.FrameWidth = w;
  im.FrameHeight = h;
  im.FrameCount = static_cast<int>(frameColours.size());
  for (uint32_t c : frameColours) im.Pixels.insert(im.Pixels.end(), static_cast<size_t>(w) * h, c);
  return im;
}

// 8 x 8, blue, with a red 2 x 2 block in the top-left corner and a soft
// (half transparent) green column on the right.
LibraryImage Marked() {
  LibraryImage im = Solid("Marked", 8, 8, {kOpaqueBlue});
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) im.Pixels[y * 8 + x] = kOpaqueRed;
  for (int y = 0; y < 8; ++y) im.Pixels[y * 8 + 7] = 0x8000FF00;
  return im;
}

TDXImageList List() {
  TDXImageList list;
  std::vector<LibraryImage> images;
  images.push_back(Solid("Two", 4, 3, {kOpaqueRed, kOpaqueGreen}));
  images.push_back(Marked());
  LibraryImage broken = Solid("Broken", 4, 4, {kOpaqueRed});
  broken.FrameCount = 3;   // pixels for one frame only
  images.push_back(broken);
  list.Assign(std::move(images));
  return list;
}

int Count(const TBackBuffer& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Get(x, y) == c;
  return n;
}

bool Same(const TBackBuffer& a, const TBackBuffer& b) {
  return std::equal(a.Pixels(), a.Pixels() + a.Width() * a.Height(), b.Pixels());
}

}  // namespace

TEST(ImageList, FindsByExactNameAndGivesFrameSizes) {
  const TDXImageList list = List();
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Find("Two"), 0);
  EXPECT_EQ(list.Find("Marked"), 1);
  EXPECT_EQ(list.Find("two"), -1);
  EXPECT_EQ(list.Find(""), -1);
  EXPECT_EQ(list.Width(0), 4);
  EXPECT_EQ(list.Height(0), 3);
  EXPECT_EQ(list.FrameCount(0), 2);
  for (int bad : {-1, 2, 3, INT_MAX}) {   // 2: pixels do not cover its frames
    EXPECT_EQ(list.Width(bad), 0) << bad;
    EXPECT_EQ(list.Height(bad), 0) << bad;
    EXPECT_EQ(list.FrameCount(bad), 0) << bad;
    EXPECT_EQ(list.Image(bad), nullptr) << bad;
  }
}

TEST(ImageList, LoadingAMissingLibraryLeavesItEmpty) {
  TDXImageList list = List();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(list.LoadFromFile("no-such-library.rxf"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no-such-library.rxf"), std::string::npos);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Find("Two"), -1);
}

TEST(ImageList, DrawPutsTheFrameAtItsPlaceClippedAndNothingForMissingOnes) {
  const TDXImageList list = List();
  TBackBuffer b(10, 8);
  b.Fill(clWhite);
  list.Draw(b, 0, 2, 3, 1);
  EXPECT_EQ(Count(b, kGreen), 12);
  EXPECT_EQ(b.Get(2, 3), kGreen);
  EXPECT_EQ(b.Get(5, 5), kGreen);
  EXPECT_EQ(b.Get(6, 5), clWhite);
  EXPECT_EQ(b.Get(5, 6), clWhite);
  // Missing image or frame: nothing.
  const TBackBuffer before = b;
  for (auto [image, frame] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}, {2, 0}, {2, 1}})
    list.Draw(b, image, 0, 0, frame);
  EXPECT_TRUE(Same(b, before));
  // Over each edge and far away.
  b.Fill(clWhite);
  list.Draw(b, 0, -2, -1, 0);
  list.Draw(b, 0, 8, 6, 0);
  list.Draw(b, 0, INT_MIN, INT_MAX, 0);
  list.Draw(b, 0, INT_MAX, 0, 0);
  EXPECT_EQ(Count(b, kRed), 2 * 2 + 2 * 2);
  EXPECT_EQ(b.Get(0, 0), kRed);
  EXPECT_EQ(b.Get(9, 7), kRed);
}

TEST(ImageList, DrawBlendsByEachPixelsAlpha) {
  TDXImageList list;
  LibraryImage im = Solid("Soft", 3, 1, {0});
  im.Pixels = {0x00FFFFFF, 0x80FFFFFF, 0xFFFFFFFF};
  list.Assign({im});
  TBackBuffer b(3, 1);
  b.Fill(clBlack);
  list.Draw(b, 0, 0, 0, 0);
  EXPECT_EQ(b.Get(0, 0), clBlack);
  const TColor half = b.Get(1, 0);
  EXPECT_NEAR(static_cast<int>(half & 255), 128, 5);
  EXPECT_NEAR(static_cast<int>((half >> 8) & 255), 128, 5);
  EXPECT_EQ(b.Get(2, 0), clWhite);
}

TEST(ImageList, DrawAlphaStretchesAndBlendsByTheOverallAlpha) {
  TDXImageList list;
  LibraryImage im = Solid("Quad", 2, 2, {0});
  im.Pixels = {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  list.Assign({im});
  TBackBuffer b(8, 8);
  b.Fill(clBlack);
  const TBackBuffer black = b;
  list.DrawAlpha(b, 0, TRect{2, 2, 6, 6}, 0, 0);
  EXPECT_TRUE(Same(b, black));
  list.DrawAlpha(b, 0, TRect{2, 2, 6, 6}, 0, 255);   // each source pixel becomes 2 x 2
  const TColor want[4][4] = {{clWhite, clWhite, kRed, kRed},
                             {clWhite, clWhite, kRed, kRed},
                             {kGreen, kGreen, kBlue, kBlue},
                             {kGreen, kGreen, kBlue, kBlue}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Get(2 + x, 2 + y), want[y][x]) << x << "," << y;
  EXPECT_EQ(Count(b, clBlack), 64 - 16);
  b.Fill(clBlack);
  list.DrawAlpha(b, 0, TRect{0, 0, 8, 8}, 0, 128);
  const TColor half = b.Get(0, 0);
  EXPECT_NEAR(static_cast<int>(half & 255), 128, 5);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 255), 128, 5);
  // Partly outside, shrunk, empty and missing: clipped or nothing, no fault.
  list.DrawAlpha(b, 0, TRect{-5, -5, 3, 3}, 0, 255);   // 4 x 4 blocks, the last one visible
  EXPECT_EQ(b.Get(0, 0), kBlue);
  EXPECT_EQ(b.Get(2, 2), kBlue);
  EXPECT_EQ(b.Get(3, 3), half);
  list.DrawAlpha(b, 0, TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0, 255);
  list.DrawAlpha(b, 0, TRect{7, 7, 8, 8}, 0, 300);
  list.DrawAlpha(b, 0, TRect{4, 4, 4, 8}, 0, 255);
  list.DrawAlpha(b, 0, TRect{4, 4, 2, 2}, 0, 255);
  list.DrawAlpha(b, 0, TRect{0, 0, 8, 8}, 1, 255);
  list.DrawAlpha(b, -1, TRect{0, 0, 8, 8}, 0, 255);
}

TEST(ImageList, RotateByZeroEqualsAPlainDraw) {
  const TDXImageList list = List();
  const int marked = list.Find("Marked");
  for (auto [x, y] : {std::pair{5, 7}, {-3, -2}, {26, 25}}) {
    TBackBuffer plain(30, 30), turned(30, 30);
    plain.Fill(RGB(90, 40, 200));
    turned.Fill(RGB(90, 40, 200));
    list.Draw(plain, marked, x, y, 0);
    list.DrawRotate(turned, marked, x, y, 8, 8, 0, 0.0, 0.0, 0);
    EXPECT_TRUE(Same(plain, turned)) << x << "," << y;
    TBackBuffer full(30, 30);
    full.Fill(RGB(90, 40, 200));
    list.DrawRotate(full, marked, x + 4, y + 4, 8, 8, 0, 0.5, 0.5, 256);   // a whole turn
    EXPECT_TRUE(Same(plain, full)) << x << "," << y;
  }
}

TEST(ImageList, QuarterTurnsMoveTheMarkedCornerClockwise) {
  const TDXImageList list = List();
  const int marked = list.Find("Marked");
  struct Case {
    int Angle;
    int RedX, RedY;   // a pixel of the red corner block on screen
  };
  // The picture covers 16..23 x 16..23, centred on (20, 20).
  for (const Case& k : {Case{0, 16, 16}, Case{64, 23, 16}, Case{128, 23, 23}, Case{192, 16, 23}, Case{-64, 16, 23}}) {
    TBackBuffer b(40, 40);
    b.Fill(clWhite);
    list.DrawRotate(b, marked, 20, 20, 8, 8, 0, 0.5, 0.5, k.Angle);
    EXPECT_EQ(b.Get(k.RedX, k.RedY), kRed) << k.Angle;
    EXPECT_EQ(Count(b, kRed), 4) << k.Angle;
    EXPECT_EQ(Count(b, clWhite), 40 * 40 - 64) << k.Angle;
    EXPECT_EQ(b.Get(20, 20), kBlue) << k.Angle;
  }
  // An eighth of a turn: the corner goes straight up, the picture widens.
  TBackBuffer b(40, 40);
  b.Fill(clWhite);
  list.DrawRotate(b, marked, 20, 20, 8, 8, 0, 0.5, 0.5, 32);
  EXPECT_NE(b.Get(20, 15), clWhite);
  EXPECT_EQ(b.Get(20, 13), clWhite);
  EXPECT_NE(b.Get(15, 20), clWhite);
  EXPECT_EQ(b.Get(16, 16), clWhite);
  TColor top = b.Get(20, 15);
  EXPECT_GT(static_cast<int>(top & 255), 100);   // reddish near the turned corner
}

TEST(ImageList, RotateScalesToTheGivenSizeAndIsClipped) {
  const TDXImageList list = List();
  const int two = list.Find("Two");
  TBackBuffer b(40, 40);
  b.Fill(clWhite);
  // 4 x 3 frame drawn at 20 x 12 with its top-left on (10, 10).
  list.DrawRotate(b, two, 10, 10, 20, 12, 1, 0.0, 0.0, 0);
  EXPECT_EQ(Count(b, kGreen), 20 * 12);
  EXPECT_EQ(b.Get(10, 10), kGreen);
  EXPECT_EQ(b.Get(29, 21), kGreen);
  EXPECT_EQ(b.Get(30, 21), clWhite);
  EXPECT_EQ(b.Get(29, 22), clWhite);
  const TBackBuffer before = b;
  for (auto [x, y] : {std::pair{-10000, 5}, {5, 10000}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}})
    list.DrawRotate(b, two, x, y, 8, 8, 0, 0.5, 0.5, 17);
  list.DrawRotate(b, two, 5, 5, 0, 8, 0, 0.5, 0.5, 0);
  list.DrawRotate(b, two, 5, 5, 8, -8, 0, 0.5, 0.5, 0);
  list.DrawRotate(b, two, 5, 5, 8, 8, 2, 0.5, 0.5, 0);
  list.DrawRotate(b, -1, 5, 5, 8, 8, 0, 0.5, 0.5, 0);
  EXPECT_TRUE(Same(b, before));
  // Huge sizes cover the buffer without fault.
  list.DrawRotate(b, two, 20, 20, 1 << 30, 1 << 30, 0, 0.5, 0.5, 5);
  EXPECT_EQ(Count(b, kRed), 40 * 40);
  list.DrawRotate(b, two, 20, 20, 1, 1 << 30, 1, 0.5, 0.5, 64);
}

// A large picture is drawn through its pixel runs; the same picture cut into
// small tiles (below the size that gets runs) is blended pixel by pixel.
// Both must give the same buffer, wherever the picture lands.
// A dial drawn at the same angle in frame after frame is kept from its
// second frame on and blended from what was kept: every frame must equal a
// turn drawn afresh, also clipped at the buffer's edge, after the angle
// changes and after the list is filled with other pictures.
TEST(ImageList, TurnsKeptBetweenFramesEqualTurnsDrawnAfresh) {
  TDXImageList list = List();
  const int marked = list.Find("Marked");
  auto background = [] {
    TBackBuffer b(40, 30);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) b.Put(x, y, RGB(x * 6, y * 8, 120));
    return b;
  };
  auto fresh = [&](int x, int y, int w, int angle) {  // by a list that has kept nothing
    TBackBuffer b = background();
    List().DrawRotate(b, marked, x, y, w, w, 0, 0.5, 0.5, angle);
    return b;
  };
  struct Case {
    int X, Y, W, Angle;
  };
  for (const Case& k : {Case{20, 15, 8, 37}, Case{2, 3, 14, 101}, Case{38, 28, 11, 200}}) {
    const TBackBuffer expected = fresh(k.X, k.Y, k.W, k.Angle);
    for (int frame = 0; frame < 4; ++frame) {
      TBackBuffer b = background();
      list.DrawRotate(b, marked, k.X, k.Y, k.W, k.W, 0, 0.5, 0.5, k.Angle);
      EXPECT_TRUE(Same(b, expected)) << k.Angle << " frame " << frame;
    }
  }
  // Two dials kept side by side, then one of them turning.
  for (int frame = 0; frame < 3; ++frame) {
    TBackBuffer b = background(), expected = background();
    TDXImageList own = List();
    for (TDXImageList* l : {&list, &own}) {
      TBackBuffer& to = l == &list ? b : expected;
      l->DrawRotate(to, marked, 10, 10, 8, 8, 0, 0.5, 0.5, 20);
      l->DrawRotate(to, list.Find("Two"), 28, 18, 9, 7, 1, 0.5, 0.5, 50 + frame);
    }
    EXPECT_TRUE(Same(b, expected)) << frame;
  }
  // Filled anew: the same call turns the new picture.
  std::vector<LibraryImage> images;
  images.push_back(Solid("Two", 4, 3, {kOpaqueGreen, kOpaqueRed}));
  images.push_back(Solid("Marked", 8, 8, {kOpaqueGreen}));
  list.Assign(std::move(images));
  TBackBuffer b = background();
  list.DrawRotate(b, marked, 20, 15, 8, 8, 0, 0.5, 0.5, 37);
  EXPECT_EQ(b.Get(20, 15), kGreen);
  EXPECT_EQ(Count(b, kBlue), 0);
}

TEST(ImageList, LargePicturesDrawnByRunsEqualPixelByPixelBlending) {
  constexpr int W = 100, H = 80, TW = 50, TH = 40;
  LibraryImage big;
  big.Name = "Big";
  big.FrameWidth = W;
  big.FrameHeight = H;
  big.FrameCount = 2;
  uint32_t seed = 7;
  for (int i = 0; i < W * H * 2; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const uint32_t pick = (seed >> 28) % 4;  // runs of every kind, mixed
    const uint32_t alpha = pick == 0 ? 0 : pick == 1 ? 128 + (seed >> 20) % 100 : 255;
    big.Pixels.push_back((alpha << 24) | (seed & 0xFFFFFF));
  }
  std::vector<LibraryImage> images{big};
  for (int ty = 0; ty < H / TH; ++ty)
    for (int tx = 0; tx < W / TW; ++tx) {
      LibraryImage t;
      t.Name = "T" + std::to_string(ty * 2 + tx);
      t.FrameWidth = TW;
      t.FrameHeight = TH;
      t.FrameCount = 2;
      for (int f = 0; f < 2; ++f)
        for (int y = 0; y < TH; ++y)
          for (int x = 0; x < TW; ++x)
            t.Pixels.push_back(big.Pixels[(f * H + ty * TH + y) * W + tx * TW + x]);
      images.push_back(t);
    }
  TDXImageList list;
  list.Assign(std::move(images));
  struct Case {
    int X, Y, Frame;
  } cases[] = {{10, 10, 0}, {10, 10, 1}, {-37, 5, 0}, {150, -23, 1}, {-5, 150, 0}, {190, 130, 1}};
  for (const Case& c : cases) {
    TBackBuffer byRuns(200, 170), byPixels(200, 170);
    byRuns.Fill(RGB(10, 80, 200));
    byPixels.Fill(RGB(10, 80, 200));
    list.Draw(byRuns, list.Find("Big"), c.X, c.Y, c.Frame);
    for (int t = 0; t < 4; ++t)
      list.Draw(byPixels, list.Find(std::string("T").append(std::to_string(t))),
                c.X + (t % 2) * TW, c.Y + (t / 2) * TH, c.Frame);
    EXPECT_TRUE(Same(byRuns, byPixels)) << c.X << "," << c.Y << " frame " << c.Frame;
  }
}

// A small picture is blended only within each frame's inked box: the same
// result as the picture drawn with a wide transparent margin (by runs),
// wherever it is clipped, for a frame inked in its middle, an empty frame
// and a frame of one pixel in a corner.
TEST(ImageList, SmallPicturesDrawnWithinTheirInkedBoxes) {
  constexpr int S = 20, Big = 70, Frames = 3;
  LibraryImage small, wide;
  small.Name = "Small";
  wide.Name = "Wide";
  small.FrameWidth = small.FrameHeight = S;
  wide.FrameWidth = wide.FrameHeight = Big;
  small.FrameCount = wide.FrameCount = Frames;
  small.Pixels.assign(static_cast<size_t>(S) * S * Frames, 0);
  wide.Pixels.assign(static_cast<size_t>(Big) * Big * Frames, 0);
  uint32_t seed = 11;
  const auto ink = [&](int f, int x, int y) {
    seed = seed * 1664525u + 1013904223u;
    const uint32_t p = ((64 + (seed >> 24) % 192) << 24) | (seed & 0xFFFFFF);
    small.Pixels[static_cast<size_t>(f * S + y) * S + x] = p;
    wide.Pixels[static_cast<size_t>(f * Big + y) * Big + x] = p;
  };
  for (int y = 7; y < 15; ++y)
    for (int x = 5; x < 13; ++x) ink(0, x, y);
  ink(2, S - 1, S - 1);
  TDXImageList list;
  list.Assign({small, wide});
  const struct {
    int X, Y;
  } places[] = {{3, 4}, {-8, 2}, {-12, -9}, {25, 21}, {36, 30}, {30, -18}};
  for (int f = 0; f < Frames; ++f)
    for (const auto& at : places) {
      TBackBuffer boxed(40, 40), byRuns(40, 40);
      boxed.Fill(RGB(10, 80, 200));
      byRuns.Fill(RGB(10, 80, 200));
      list.Draw(boxed, list.Find("Small"), at.X, at.Y, f);
      list.Draw(byRuns, list.Find("Wide"), at.X, at.Y, f);
      EXPECT_TRUE(Same(boxed, byRuns)) << at.X << "," << at.Y << " frame " << f;
    }
}

// A reduction averages the area each new pixel covers, colour weighted by
// alpha: a transparent half never darkens the colour, only thins it.
TEST(ImageList, ReduceImageAveragesTheCoveredArea) {
  // 4 x 2, two frames: left half opaque red, right half transparent; then
  // a red and blue checker of single pixels.
  LibraryImage im = Solid("Half", 4, 2, {kOpaqueRed, kOpaqueRed});
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) im.Pixels[y * 4 + x] = 0;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) im.Pixels[8 + y * 4 + x] = (x + y) % 2 ? kOpaqueBlue : kOpaqueRed;
  const LibraryImage half = ReduceImage(im, 0.5);
  ASSERT_EQ(half.FrameWidth, 2);
  ASSERT_EQ(half.FrameHeight, 1);
  ASSERT_EQ(half.FrameCount, 2);
  ASSERT_EQ(half.Pixels.size(), 4u);
  EXPECT_EQ(half.Pixels[0], kOpaqueRed);
  EXPECT_EQ(half.Pixels[1], 0u);
  EXPECT_EQ(half.Pixels[2], 0xFF800080u);  // red and blue in equal parts
  // 0.75 of 4 x 2: three columns, the middle one half red, half clear.
  const LibraryImage three = ReduceImage(im, 0.75);
  ASSERT_EQ(three.FrameWidth, 3);
  ASSERT_EQ(three.FrameHeight, 2);
  EXPECT_EQ(three.Pixels[0], kOpaqueRed);
  EXPECT_EQ(three.Pixels[1], 0x80FF0000u);
  EXPECT_EQ(three.Pixels[2], 0u);
  // A ratio of 1 copies; an image short of its pixels gives no frames.
  EXPECT_EQ(ReduceImage(im, 1).Pixels, im.Pixels);
  LibraryImage broken = im;
  broken.Pixels.resize(3);
  EXPECT_TRUE(ReduceImage(broken, 0.5).Pixels.empty());
}
