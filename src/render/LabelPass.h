// TLabelPass: every text label of one sky frame, gathered while the layers
// are drawn and placed afterwards in one pass, so that no label covers
// another. Labels are taken by priority (then in the order they came); each
// tries its usual place first, then a few places around its object, and is
// dropped when every place is taken by a label placed before it, by a
// blocked area (the Sun's and Moon's discs, the ground, boards and trees)
// or reaches past the sky area.
//
// Free space is kept in a bitmap of 2x2-pixel cells (4x4 on sky areas wider
// than 1024 or taller than 1024 pixels); a label takes every cell its
// rectangle touches, so two placed labels never share a pixel. Fixed
// capacity: nothing is allocated while a frame is placed and drawn.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"

// Label priorities, most important first.
namespace LabelPriority {
constexpr uint8_t Selected = 0;       // the selected constellation or asterism, show marks
constexpr uint8_t Bodies = 1;         // planets, the Sun and the Moon
constexpr uint8_t Constellations = 2;
constexpr uint8_t BrightStars = 3;
constexpr uint8_t Asterisms = 4;
constexpr uint8_t Messier = 5;
constexpr uint8_t Greek = 6;
constexpr uint8_t Grid = 7;
}  // namespace LabelPriority

// How the other places of a label are found when its usual one is taken.
enum class TLabelAnchor : uint8_t {
  Point,  // around the object's point, at Gap pixels from it: the four corners, sides, below, above
  Area,   // the label's own rectangle moved by its height or half its width
};

// What a drawn label was, for tests that check the placement.
struct TPlacedLabel {
  TRect Box;          // pixels covered: Left, Top inclusive; Right, Bottom exclusive
  std::string Text;   // GBK (the Symbol letter, if any, appended)
  uint8_t Priority;
};

// English texts: words drawn apart by this many pixels instead of the wide
// space of the 12-pixel Chinese face; a larger face spaces them in
// proportion (WordGapOf).
constexpr int WordGap = 3;
int WordGapOf(const TCanvas& canvas);

// Width of a text as DrawLabelText writes it.
int LabelTextWidth(TCanvas& canvas, std::string_view gbk, std::string& scratch);
// Writes a text at (x, y) with the canvas font: smooth text over a black
// shadow a pixel or two down and right (a sixteenth of its height), so
// that it stays readable over the Milky Way and a bright sky.
void LabelTextOut(TCanvas& canvas, int x, int y, const std::string& gbk);
// How far the shadow of the canvas font's labels lies (0: none).
int LabelShadowOffset(const TCanvas& canvas);
// Writes a text at (x, y) as LabelTextOut does; a text of plain ASCII with
// spaces is written word by word, WordGapOf pixels apart.
void DrawLabelText(TCanvas& canvas, int x, int y, std::string_view gbk, std::string& scratch);

class TLabelPass {
 public:
  static constexpr int Capacity = 2500;

  // Starts a frame for a sky area of width x height pixels.
  void Reset(int width, int height);
  // Areas no label may cover.
  void Block(const TRect& box);
  void BlockDisc(int x, int y, int radius);

  // A label: `text` (GBK) must stay valid until Place (model and mark
  // tables do); a text of up to 31 bytes may be given with `copy` to be
  // kept here instead. `symbol` (not 0) is a Greek letter written in the
  // Symbol font right after the text. (x, y) is the usual top-left corner,
  // (px, py) the object's point for Point anchors.
  void Add(uint8_t priority, std::string_view text, bool symbolFont, TColor color, int x, int y,
           TLabelAnchor anchor, int px, int py, int gap, uint8_t symbol = 0, bool copy = false);

  // Places and draws every label (brush clear; the canvas font's name and
  // height as they are for Song texts). `placed`, when given, receives every
  // drawn label. Labels that cannot be placed are dropped.
  void Place(TCanvas& canvas, const std::string& songFont, std::vector<TPlacedLabel>* placed);

  int Count() const { return count_; }

 private:
  struct TLabel {
    const char* Text;
    uint16_t Length;
    uint8_t Priority, Symbol;
    bool SymbolFont;
    TLabelAnchor Anchor;
    int8_t Gap;
    TColor Color;
    int16_t X, Y, Px, Py;
    uint16_t Order;
    char Copy[32];
  };

  bool Free(int x0, int y0, int x1, int y1) const;
  void Take(int x0, int y0, int x1, int y1);
  std::string_view TextOf(const TLabel& l) const {
    return {l.Text ? l.Text : l.Copy, l.Length};
  }

  int width_ = 0, height_ = 0, shift_ = 1, words_ = 0, rows_ = 0;
  static constexpr int MaxWords = 1024 * 1024 / 64 / 4;  // 2x2 cells up to 1024x1024 pixels
  std::array<uint64_t, MaxWords> cells_{};
  std::array<TLabel, Capacity> labels_;   // entries 0..count_-1 in use
  std::array<uint16_t, Capacity> order_;
  int count_ = 0;
  std::string scratch_, scratch2_;
};
