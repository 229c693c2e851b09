// Canvas: state kept across release and frames, lines, ellipses, flood fill.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <queue>

#include "Canvas.h"

namespace {

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kBlue = RGB(0, 0, 255);
constexpr TColor kGreen = RGB(0, 255, 0);

int Count(const TBackBuffer& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Get(x, y) == c;
  return n;
}

// The pixels a line from (x0, y0) to (x1, y1) should set: every step but the
// last, the minor coordinate rounded half away from the start, set one by one
// through the clipped Put.
void ReferenceLine(TBackBuffer& b, long long x0, long long y0, long long x1, long long y1, TColor c) {
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long n = std::max(std::llabs(dx), std::llabs(dy));
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long minor = xMajor ? std::llabs(dy) : std::llabs(dx);
  const int sMajor = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int sMinor = (xMajor ? dy : dx) > 0 ? 1 : (xMajor ? dy : dx) < 0 ? -1 : 0;
  for (long long i = 0; i < n; ++i) {
    const long long q = (2 * i * minor + n) / (2 * n);
    const long long a = sMajor * i, m = sMinor * q;
    b.Put(static_cast<int>(xMajor ? x0 + a : x0 + m), static_cast<int>(xMajor ? y0 + m : y0 + a), c);
  }
}

}  // namespace

TEST(BackBuffer, ColoursRoundTripThroughRgb565AndOutsideIsClipped) {
  TBackBuffer b(4, 3);
  EXPECT_EQ(TBackBuffer::To565(clWhite), 0xFFFF);
  EXPECT_EQ(TBackBuffer::From565(0xFFFF), clWhite);
  EXPECT_EQ(TBackBuffer::To565(kRed), 0xF800);
  EXPECT_EQ(TBackBuffer::To565(kBlue), 0x001F);
  EXPECT_EQ(TBackBuffer::From565(TBackBuffer::To565(RGB(200, 100, 50))), RGB(206, 101, 49));
  b.Fill(kGreen);
  for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {INT_MIN, INT_MAX}}) {
    b.Put(x, y, kRed);
    EXPECT_EQ(b.Get(x, y), clBlack);
  }
  EXPECT_EQ(Count(b, kGreen), 12);
}

TEST(Canvas, PenBrushAndFontSurviveReleaseAndTheNextFrame) {
  TBackBuffer b(20, 10);
  TCanvas c(b);
  c.Pen.Color = kRed;
  c.Brush.Color = kBlue;
  c.Brush.Style = TBrushStyle::Clear;
  c.Font.Name = "Symbol";
  c.Font.Color = kGreen;
  c.Font.Height = -14;
  c.Release();
  b.Fill(clBlack);   // the next frame begins
  EXPECT_EQ(c.Pen.Color, kRed);
  EXPECT_EQ(c.Brush.Color, kBlue);
  EXPECT_EQ(c.Brush.Style, TBrushStyle::Clear);
  EXPECT_EQ(c.Font.Name, "Symbol");
  EXPECT_EQ(c.Font.Color, kGreen);
  EXPECT_EQ(c.Font.Height, -14);
  c.MoveTo(0, 0);
  c.LineTo(5, 0);
  EXPECT_EQ(b.Get(0, 0), kRed);
  c.Ellipse(10, 0, 20, 10);   // clear brush: the inside stays
  EXPECT_EQ(b.Get(15, 5), clBlack);
  EXPECT_EQ(b.Get(10, 5), kRed);
}

TEST(Canvas, LineExcludesItsLastPixelAndMovesThePen) {
  TBackBuffer b(10, 10);
  TCanvas c(b);
  b.Fill(clBlack);
  c.Pen.Color = kRed;
  c.MoveTo(1, 2);
  c.LineTo(5, 2);
  for (int x = 1; x <= 4; ++x) EXPECT_EQ(b.Get(x, 2), kRed) << x;
  EXPECT_EQ(b.Get(5, 2), clBlack);
  c.LineTo(5, 6);   // continues from (5, 2)
  for (int y = 2; y <= 5; ++y) EXPECT_EQ(b.Get(5, y), kRed) << y;
  EXPECT_EQ(b.Get(5, 6), clBlack);
  c.LineTo(5, 6);   // zero length: nothing
  EXPECT_EQ(b.Get(5, 6), clBlack);
  c.MoveTo(0, 9);
  c.LineTo(3, 6);   // diagonal
  EXPECT_EQ(b.Get(0, 9), kRed);
  EXPECT_EQ(b.Get(1, 8), kRed);
  EXPECT_EQ(b.Get(2, 7), kRed);
  EXPECT_EQ(b.Get(3, 6), clBlack);
  EXPECT_EQ(Count(b, kRed), 4 + 4 + 3);
}

TEST(Canvas, ClippedLinesSetExactlyTheVisiblePixelsOfTheWholeLine) {
  struct L { int x0, y0, x1, y1; };
  const L lines[] = {
      {-5, 3, 45, 3},   {3, -5, 3, 35},     {-10, -10, 50, 40}, {50, -3, -9, 31},
      {39, 29, 0, 0},   {-7, 12, 12, -7},   {20, 15, 100, 17},  {20, 15, -100, 16},
      {20, 15, 21, 200}, {20, 15, 19, -200}, {0, 0, 39, 0},     {39, 0, 39, 29},
      {-3, 29, 43, 29}, {-1, -1, 40, 30},   {41, 5, 45, 25},    {-20, 40, 60, 35},
      {5, 40, 35, 31},  {13, 7, 29, 22},    {-1000, 11, 1000, 12}, {17, -999, 18, 999},
  };
  for (const L& l : lines) {
    TBackBuffer got(40, 30), want(40, 30);
    got.Fill(clBlack);
    want.Fill(clBlack);
    TCanvas c(got);
    c.Pen.Color = kRed;
    c.MoveTo(l.x0, l.y0);
    c.LineTo(l.x1, l.y1);
    ReferenceLine(want, l.x0, l.y0, l.x1, l.y1, kRed);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(got.Get(x, y), want.Get(x, y))
            << "line " << l.x0 << "," << l.y0 << " -> " << l.x1 << "," << l.y1 << " at " << x << "," << y;
  }
}

TEST(Canvas, LinesFarOutsideDrawNothingAndHugeCrossingLinesDrawTheirVisiblePart) {
  TBackBuffer b(40, 30);
  b.Fill(clBlack);
  TCanvas c(b);
  c.Pen.Color = kRed;
  struct L { int x0, y0, x1, y1; };
  const L misses[] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX, INT_MIN},
      {INT_MIN, 0, INT_MIN, 29},            {-1000000000, -5, 1000000000, -1},
      {41, -1000000000, 45, 1000000000},    {INT_MIN, INT_MAX, INT_MAX, INT_MAX},
      {-100, 25, 25, -100},                 {80, 0, 40, -40},
  };
  for (const L& l : misses) {
    c.MoveTo(l.x0, l.y0);
    c.LineTo(l.x1, l.y1);
  }
  EXPECT_EQ(Count(b, kRed), 0);
  c.MoveTo(INT_MIN, 7);
  c.LineTo(INT_MAX, 7);
  EXPECT_EQ(Count(b, kRed), 40);
  c.MoveTo(11, INT_MAX);
  c.LineTo(11, INT_MIN);
  EXPECT_EQ(Count(b, kRed), 40 + 29);
  c.MoveTo(INT_MIN, INT_MIN);   // the main diagonal from far away
  c.LineTo(INT_MAX, INT_MAX);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(b.Get(i, i), kRed) << i;
}

TEST(Canvas, EllipseFillsItsBoxWithRightAndBottomExclusive) {
  TBackBuffer b(40, 30);
  b.Fill(clWhite);
  TCanvas c(b);
  c.Pen.Color = kRed;
  c.Brush.Color = kBlue;
  c.Ellipse(10, 10, 30, 20);
  EXPECT_EQ(b.Get(20, 15), kBlue);
  EXPECT_EQ(b.Get(10, 14), kRed);    // left, top, right and bottom rims touch the box
  EXPECT_EQ(b.Get(29, 15), kRed);
  EXPECT_EQ(b.Get(19, 10), kRed);
  EXPECT_EQ(b.Get(20, 19), kRed);
  for (auto [x, y] : {std::pair{30, 15}, {20, 20}, {9, 15}, {20, 9}, {10, 10}, {29, 19}})
    EXPECT_EQ(b.Get(x, y), clWhite) << x << "," << y;
  // Mirror symmetric.
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 30; ++x) {
      EXPECT_EQ(b.Get(x, y), b.Get(39 - x, y)) << x << "," << y;
      EXPECT_EQ(b.Get(x, y), b.Get(x, 29 - y)) << x << "," << y;
    }
  // Swapped corners draw the same; the box order does not matter.
  TBackBuffer b2(40, 30);
  b2.Fill(clWhite);
  TCanvas c2(b2);
  c2.Pen.Color = kRed;
  c2.Brush.Color = kBlue;
  c2.Ellipse(30, 20, 10, 10);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(b.Get(x, y), b2.Get(x, y));
}

TEST(Canvas, ClearBrushEllipseIsAClosedOutline) {
  for (const TRect& box : {TRect{5, 5, 35, 25}, TRect{2, 2, 5, 27}, TRect{1, 12, 39, 15}, TRect{-20, -10, 25, 18}}) {
    TBackBuffer b(40, 30);
    b.Fill(clWhite);
    TCanvas c(b);
    c.Pen.Color = kRed;
    c.Brush.Style = TBrushStyle::Clear;
    c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
    // Filling from a far corner stops at the rim: the inside stays white.
    const int inX = (std::max(box.Left, 0) + box.Right) / 2, inY = (std::max(box.Top, 0) + box.Bottom) / 2;
    ASSERT_EQ(b.Get(inX, inY), clWhite);
    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = kGreen;
    c.FloodFill(39, 29, kRed);
    EXPECT_EQ(b.Get(inX, inY), clWhite) << box.Left << "," << box.Top;
    EXPECT_GT(Count(b, kRed), 0);
  }
  // Boxes off the buffer or empty draw nothing.
  TBackBuffer b(40, 30);
  b.Fill(clWhite);
  TCanvas c(b);
  c.Pen.Color = kRed;
  for (const TRect& box : {TRect{-50, -50, -10, -10}, TRect{40, 0, 60, 20}, TRect{5, 5, 5, 20}, TRect{INT_MIN, INT_MIN, INT_MIN + 10, INT_MIN + 10}})
    c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
  EXPECT_EQ(Count(b, clWhite), 40 * 30);
  c.Brush.Color = kBlue;
  c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);   // huge: covers everything, no fault
  EXPECT_EQ(Count(b, clWhite), 0);
}

TEST(Canvas, FloodFillStopsAtItsBorderAndAtTheBufferEdge) {
  TBackBuffer b(40, 30);
  b.Fill(clWhite);
  TCanvas c(b);
  c.Pen.Color = kRed;
  c.MoveTo(5, 5);   // a closed square 5..15
  c.LineTo(15, 5);
  c.LineTo(15, 15);
  c.LineTo(5, 15);
  c.LineTo(5, 5);
  c.Brush.Color = kBlue;
  b.Put(10, 10, kBlue);   // pixels already of the brush colour do not stop the fill
  b.Put(10, 11, kGreen);  // nor do other colours
  c.FloodFill(8, 8, kRed);
  EXPECT_EQ(Count(b, kBlue), 9 * 9);
  EXPECT_EQ(b.Get(10, 11), kBlue);
  EXPECT_EQ(Count(b, kRed), 40);
  EXPECT_EQ(b.Get(4, 4), clWhite);
  EXPECT_EQ(b.Get(16, 10), clWhite);

  // Seeded on the border colour or outside the buffer: nothing.
  c.Brush.Color = kGreen;
  c.FloodFill(5, 5, kRed);
  c.FloodFill(-1, 3, kRed);
  c.FloodFill(40, 3, kRed);
  EXPECT_EQ(Count(b, kGreen), 0);

  // Outside the square, up to the buffer edges.
  c.FloodFill(0, 0, kRed);
  EXPECT_EQ(Count(b, kGreen), 40 * 30 - 40 - 81);
  EXPECT_EQ(b.Get(39, 29), kGreen);
}

TEST(Canvas, FloodFillReachesEveryConnectedPixelOfAMaze) {
  // A comb with diagonal gaps (4-connectivity does not pass a diagonal), and
  // the border colour equal to the brush colour.
  const int W = 64, H = 48;
  TBackBuffer b(W, H);
  b.Fill(clWhite);
  TCanvas c(b);
  c.Pen.Color = kRed;
  for (int x = 3; x < W; x += 4) {
    c.MoveTo(x, (x / 4) % 2 ? 0 : 2);
    c.LineTo(x, (x / 4) % 2 ? H - 2 : H);
  }
  for (int i = 0; i < 300; ++i) b.Put((i * 37) % W, (i * 53) % H, kRed);
  const int sx = 1, sy = 1;
  b.Put(sx, sy, clWhite);
  ASSERT_EQ(b.Get(sx, sy), clWhite);
  // Reference: breadth-first search over 4-neighbours.
  std::vector<char> want(W * H, 0);
  std::queue<std::pair<int, int>> q;
  q.push({sx, sy});
  want[sy * W + sx] = 1;
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop();
    for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
      if (nx >= 0 && ny >= 0 && nx < W && ny < H && !want[ny * W + nx] && b.Get(nx, ny) != kRed) {
        want[ny * W + nx] = 1;
        q.push({nx, ny});
      }
  }
  TBackBuffer before = b;
  c.Brush.Color = kRed;
  c.FloodFill(sx, sy, kRed);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      ASSERT_EQ(b.Get(x, y), want[y * W + x] ? kRed : before.Get(x, y)) << x << "," << y;
}
