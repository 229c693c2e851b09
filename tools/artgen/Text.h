// Captions rendered with SDL2_ttf into a Raster (no video needed).
#pragma once

#include <string>

#include "Raster.h"

struct _TTF_Font;

class TextFont {
 public:
  // An unusable font (missing file) renders nothing and reports on stderr once.
  // `scale` pixels per unit: the font is opened at pixelSize x scale pixels,
  // for drawing into a raster of that scale.
  TextFont(const std::string& path, int pixelSize, bool bold = false, float scale = 1.0f);
  ~TextFont();
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;
  bool Ok() const { return font_ != nullptr; }
  // The text's coverage as a raster of the given colour (at 1 pixel per pixel).
  Raster Render(const std::string& utf8, const Rgba& colour) const;
  float Scale() const { return scale_; }

 private:
  _TTF_Font* font_ = nullptr;
  float scale_ = 1;
};

// Initialises SDL_ttf once for the process; false when it cannot.
bool InitText();

// Draws text centred on unit (cx, cy); a shadow colour with alpha > 0 is
// drawn first, one unit down and right. The font is opened at the raster's
// scale.
void DrawTextCentred(Raster& dst, const TextFont& font, const std::string& utf8, float cx,
                     float cy, const Rgba& colour, const Rgba& shadow = {});
void DrawTextAt(Raster& dst, const TextFont& font, const std::string& utf8, int x, int y,
                const Rgba& colour);
