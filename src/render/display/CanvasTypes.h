// The plain values of the drawing surface: colours, rectangles, pens,
// brushes and fonts, shared by the canvas and its text cache.
#pragma once

#include <cstdint>
#include <string>

using TColor = uint32_t;
constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

enum class TBrushStyle { Solid, Clear };

struct TPen {
  TColor Color = clBlack;
};
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
};
struct TFont {
  std::string Name;   // GBK face name: "宋体" (Song) or "Symbol" (Greek)
  TColor Color = clBlack;
  int Height = -12;   // negative: character height in pixels
  // Outline faces drawn anti-aliased: each pixel takes the text colour by
  // the share of it the glyph covers. Off, a pixel is inked or not (the
  // bitmap strikes are always so).
  bool Smooth = false;
};
