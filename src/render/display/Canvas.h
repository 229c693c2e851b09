// The drawing surface and its canvas: an 800x600 RGB565 back buffer with a
// text-and-line canvas whose pen, brush and font survive Release() into the
// next use and the next frame (the drawing code relies on that).
//
// Colours are TColor values $00BBGGRR (red in the low byte).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CanvasTypes.h"

class TextCache;

// A 16-bit back buffer. Pixel (x, y) is Pixels()[y * Width() + x].
class TBackBuffer {
 public:
  TBackBuffer(int width, int height);
  // A new size, every pixel black.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint16_t* Pixels() { return pixels_.data(); }
  const uint16_t* Pixels() const { return pixels_.data(); }
  void Fill(TColor c);
  // Rows y0 .. y1 - 1 (clipped to the buffer) set to one colour.
  void FillRows(int y0, int y1, TColor c);
  void Put(int x, int y, TColor c);          // clipped
  TColor Get(int x, int y) const;            // black outside
  // RGB565 <-> TColor (components expanded to 8 bits).
  static uint16_t To565(TColor c);
  static TColor From565(uint16_t p);

 private:
  int width_, height_;
  std::vector<uint16_t> pixels_;
};

class TCanvas {
 public:
  explicit TCanvas(TBackBuffer& buffer);
  ~TCanvas();

  TPen Pen;
  TBrush Brush;
  TFont Font;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);                          // last pixel excluded
  void Ellipse(int x1, int y1, int x2, int y2);       // brush inside, pen outline
  void FloodFill(int x, int y, TColor border);        // fill with the brush up to border
  void TextOut(int x, int y, const std::string& gbk); // brush behind text unless Clear
  void TextRect(const TRect& clip, int x, int y, const std::string& gbk);
  int TextWidth(const std::string& gbk);
  int TextHeight(const std::string& gbk);
  // Ends drawing on the canvas for now; pen, brush and font are kept.
  void Release() {}

  TBackBuffer& Buffer() { return buffer_; }
  // The rendered texts kept for reuse.
  TextCache& Texts() { return *text_; }

 private:
  void DrawText(const TRect* clip, int x, int y, const std::string& gbk);
  TBackBuffer& buffer_;
  int penX_ = 0, penY_ = 0;
  std::unique_ptr<TextCache> text_;
  // Work areas of FloodFill, kept to avoid allocating on every fill.
  struct Seed {
    int X, Y;
  };
  std::vector<uint8_t> visited_;
  std::vector<Seed> seeds_;
};
