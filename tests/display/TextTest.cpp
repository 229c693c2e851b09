// Canvas text: GBK texts in the Song face, the Symbol face, the text cache,
// clipping, and running on without fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Canvas.h"
#include "TextCache.h"

namespace {

const std::string kSong = "\xCB\xCE\xCC\xE5";   // "宋体"
const std::string kNan = "\xC4\xCF";            // "南"
const std::string kNanJing = "\xC4\xCF\xBE\xA9";   // "南京"
constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kBlue = RGB(0, 0, 255);

struct Box {
  int Count = 0, Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
};
Box Find(const TBackBuffer& b, TColor c) {
  Box r;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Get(x, y) == c) {
        ++r.Count;
        r.Left = std::min(r.Left, x), r.Right = std::max(r.Right, x);
        r.Top = std::min(r.Top, y), r.Bottom = std::max(r.Bottom, y);
      }
  return r;
}

void SetSong(TCanvas& c, int height) {
  c.Font.Name = kSong;
  c.Font.Height = height;
  c.Font.Color = kRed;
  c.Brush.Style = TBrushStyle::Clear;
}

}  // namespace

TEST(Text, GbkHanziIsDrawnInsideItsCell) {
  TBackBuffer b(100, 40);
  b.Fill(clWhite);
  TCanvas c(b);
  SetSong(c, -12);
  c.TextOut(10, 5, kNan);
  const int w = c.TextWidth(kNan), h = c.TextHeight(kNan);
  EXPECT_GE(w, 11);
  EXPECT_LE(w, 13);
  EXPECT_GE(h, 12);
  EXPECT_LE(h, 16);
  const Box ink = Find(b, kRed);
  EXPECT_GT(ink.Count, 20);
  EXPECT_EQ(ink.Count + Find(b, clWhite).Count, 100 * 40);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LT(ink.Right, 10 + w);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LT(ink.Bottom, 5 + h);
  EXPECT_GT(ink.Right - ink.Left, 7);   // a full-width character
}

TEST(Text, WidthsGrowWithTheTextAndTheHeight) {
  TBackBuffer b(10, 10);
  TCanvas c(b);
  SetSong(c, -12);
  const int one = c.TextWidth(kNan), two = c.TextWidth(kNanJing);
  EXPECT_GT(two, one);
  EXPECT_EQ(two, 2 * one);
  EXPECT_EQ(c.TextWidth(""), 0);
  EXPECT_LT(c.TextWidth("ab"), one * 2);
  c.Font.Height = -14;
  EXPECT_GT(c.TextWidth(kNan), one);
  c.Font.Height = -20;   // a scalable face for other heights
  EXPECT_GT(c.TextWidth(kNan), 17);
  c.Font.Name = "Arial";   // unknown faces fall back to Song
  c.Font.Height = -12;
  EXPECT_EQ(c.TextWidth(kNan), one);
}

TEST(Text, SecondDrawComesFromTheCacheWithIdenticalPixels) {
  TBackBuffer first(120, 30), second(120, 30);
  first.Fill(clWhite);
  second.Fill(clWhite);
  TCanvas c(first);
  SetSong(c, -12);
  c.TextOut(3, 4, kNanJing);
  const long renders = c.Texts().Renders();
  // Another colour reuses the rendered text too.
  TCanvas d(second);
  SetSong(d, -12);
  d.TextOut(3, 4, kNanJing);
  c.Buffer().Fill(clWhite);
  c.TextOut(3, 4, kNanJing);
  EXPECT_EQ(c.Texts().Renders(), renders);
  c.Font.Color = kBlue;
  c.TextOut(3, 4, kNanJing);
  c.Font.Color = kRed;
  c.TextOut(3, 4, kNanJing);
  EXPECT_EQ(c.Texts().Renders(), renders);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(first.Get(x, y), second.Get(x, y)) << x << "," << y;
}

TEST(Text, SolidBrushFillsTheCellAndTextOutMovesThePen) {
  TBackBuffer b(100, 40);
  b.Fill(clWhite);
  TCanvas c(b);
  SetSong(c, -12);
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = kBlue;
  c.TextOut(10, 5, kNan);
  const int w = c.TextWidth(kNan), h = c.TextHeight(kNan);
  const Box cell = Find(b, kBlue), ink = Find(b, kRed);
  EXPECT_EQ(cell.Count + ink.Count, w * h);
  EXPECT_EQ(cell.Left, 10);
  EXPECT_EQ(cell.Top, 5);
  // The pen continues after the text.
  c.Pen.Color = kRed;
  c.LineTo(10 + w + 3, 5);
  EXPECT_EQ(b.Get(10 + w, 5), kRed);
  EXPECT_EQ(b.Get(10 + w - 1, 5), kBlue);
}

TEST(Text, TextRectClipsToItsRectangleAndTheBuffer) {
  TBackBuffer b(60, 30);
  b.Fill(clWhite);
  TCanvas c(b);
  SetSong(c, -12);
  const TRect clip{5, 5, 16, 12};
  c.TextRect(clip, 8, 2, kNanJing + kNanJing);
  const Box ink = Find(b, kRed);
  EXPECT_GT(ink.Count, 0);
  EXPECT_GE(ink.Left, 5);
  EXPECT_LT(ink.Right, 16);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LT(ink.Bottom, 12);
  // With a solid brush the whole rectangle is filled first.
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = kBlue;
  c.TextRect(TRect{30, 10, 40, 20}, 31, 11, "");
  EXPECT_EQ(Find(b, kBlue).Count, 100);
  // Texts hanging over every edge of the buffer are cut there.
  for (auto [x, y] : {std::pair{-7, 3}, {55, 3}, {20, -9}, {20, 25}, {-1000000, 5}, {5, 2000000000}})
    c.TextOut(x, y, kNanJing);
  c.TextRect(TRect{-100, -100, 1000, 1000}, 50, 20, kNanJing);
  c.TextRect(TRect{20, 20, 10, 10}, 15, 15, kNanJing);   // inverted: nothing
}

TEST(Text, SymbolFontDrawsGreekForLetterCodes) {
  TBackBuffer b(40, 30), song(40, 30);
  b.Fill(clWhite);
  song.Fill(clWhite);
  TCanvas c(b), s(song);
  c.Font.Name = "Symbol";
  c.Font.Height = -14;
  c.Font.Color = kRed;
  c.Brush.Style = TBrushStyle::Clear;
  c.TextOut(5, 5, "a");
  EXPECT_GT(Find(b, kRed).Count, 8);
  EXPECT_GT(c.TextWidth("a"), 3);
  SetSong(s, -14);
  s.TextOut(5, 5, "a");
  int differ = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) differ += b.Get(x, y) != song.Get(x, y);
  EXPECT_GT(differ, 4);   // alpha, not a Latin a
}

// Smooth text at the heights of the larger interface scales: the glyphs
// grow with the height, their edges take shares of the text colour between
// the background's and the text's (each channel between the two), and the
// same face drawn one-bit inks only whole pixels. The 12-pixel strike gives
// whole pixels either way.
TEST(Text, SmoothTextBlendsItsEdgesAndGrowsWithTheHeight) {
  constexpr TColor kBack = RGB(20, 40, 120), kInk = RGB(255, 230, 40);
  const auto between = [](TColor c) {
    const TColor b = TBackBuffer::From565(TBackBuffer::To565(kBack));
    const TColor i = TBackBuffer::From565(TBackBuffer::To565(kInk));
    if (c == b || c == i) return false;
    for (int shift : {0, 8, 16}) {
      const int v = (c >> shift) & 255, lo = std::min((b >> shift) & 255, (i >> shift) & 255),
                hi = std::max((b >> shift) & 255, (i >> shift) & 255);
      if (v < static_cast<int>(lo) || v > static_cast<int>(hi)) return false;
    }
    return true;
  };
  struct Drawn {
    int Partial = 0, Full = 0, Top = 1 << 30, Bottom = -1;
  };
  const auto draw = [&](const std::string& face, int height, bool smooth) {
    TBackBuffer b(160, 60);
    b.Fill(kBack);
    TCanvas c(b);
    c.Font.Name = face;
    c.Font.Height = height;
    c.Font.Smooth = smooth;
    c.Font.Color = kInk;
    c.Brush.Style = TBrushStyle::Clear;
    c.TextOut(4, 4, face == "Symbol" ? std::string("abg") : kNanJing);
    Drawn d;
    const TColor ink = TBackBuffer::From565(TBackBuffer::To565(kInk));
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const TColor p = b.Get(x, y);
        d.Partial += between(p);
        d.Full += p == ink;
        if (p == ink || between(p)) d.Top = std::min(d.Top, y), d.Bottom = std::max(d.Bottom, y);
      }
    return d;
  };
  for (const std::string& face : {kSong, std::string("Symbol")}) {
    const Drawn small = draw(face, -12, false);
    EXPECT_EQ(small.Partial, 0) << face;
    EXPECT_GT(small.Full, 10) << face;
    for (int height : {-15, -16, -21, -36}) {
      const Drawn smooth = draw(face, height, true), sharp = draw(face, height, false);
      EXPECT_GT(smooth.Partial, smooth.Full / 4) << face << height;
      EXPECT_GT(smooth.Full + smooth.Partial, 20) << face << height;
      EXPECT_EQ(sharp.Partial, 0) << face << height;
      // Glyph rows grow with the height asked for.
      EXPECT_GE((smooth.Bottom - smooth.Top) * 12, (small.Bottom - small.Top) * -height * 8 / 10)
          << face << height;
    }
  }
  // The 12-pixel strike has no shades to give.
  EXPECT_EQ(draw(kSong, -12, true).Partial, 0);
}

TEST(Text, SmoothAndOneBitTextsAreKeptApart) {
  TBackBuffer b(10, 10);
  TCanvas c(b);
  SetSong(c, -21);
  c.TextWidth(kNan);
  c.Font.Smooth = true;
  c.TextWidth(kNan);
  EXPECT_EQ(c.Texts().Renders(), 2);
  c.TextWidth(kNan);
  c.Font.Smooth = false;
  c.TextWidth(kNan);
  EXPECT_EQ(c.Texts().Renders(), 2);
}

TEST(Text, CacheStaysWithinItsBound) {
  TBackBuffer b(10, 10);
  TCanvas c(b);
  SetSong(c, -12);
  for (size_t i = 0; i < TextCache::kMaxEntries + 50; ++i) c.TextWidth(std::to_string(i));
  EXPECT_EQ(c.Texts().Entries(), TextCache::kMaxEntries);
  EXPECT_LE(c.Texts().InkBytes(), TextCache::kMaxInkBytes);
  // The most recent texts are still there.
  const long renders = c.Texts().Renders();
  c.TextWidth(std::to_string(TextCache::kMaxEntries + 49));
  EXPECT_EQ(c.Texts().Renders(), renders);
}

TEST(Text, WithoutFontsNothingIsDrawnSizesAreEstimatedAndSaidOnce) {
  ::setenv("SKYLOOM_FONT_DIR", "/nonexistent-skyloom-fonts", 1);
  testing::internal::CaptureStderr();
  {
    TBackBuffer b(60, 30);
    b.Fill(clWhite);
    for (int round = 0; round < 2; ++round) {
      TCanvas c(b);
      SetSong(c, -12);
      c.TextOut(2, 2, kNanJing);
      EXPECT_EQ(Find(b, kRed).Count, 0);
      EXPECT_EQ(c.TextWidth(kNanJing), 24);
      EXPECT_EQ(c.TextWidth("ab"), 12);
      EXPECT_GE(c.TextHeight(kNan), 12);
      c.Font.Name = "Symbol";
      c.TextOut(2, 2, "a");
      EXPECT_EQ(Find(b, kRed).Count, 0);
    }
  }
  const std::string said = testing::internal::GetCapturedStderr();
  ::unsetenv("SKYLOOM_FONT_DIR");
  const std::string missing = "wenquanyi_9pt.pcf: font missing; its texts are not drawn";
  const size_t at = said.find(missing);
  ASSERT_NE(at, std::string::npos) << said;
  EXPECT_EQ(said.find(missing, at + 1), std::string::npos) << said;
  EXPECT_NE(said.find("no font for Song"), std::string::npos) << said;
  EXPECT_NE(said.find("no font for Symbol"), std::string::npos) << said;
}
