// Captions rendered with SDL2_ttf into a Raster (no video needed).
#pragma once

#include <string>

#include "Raster.h"

struct _TTF_Font;

class TextFont {
 public:
  // An unusable font (missing file) renders nothing and reports on stderr once.
  TextFont(const std::string& path, int pixelSize, bool bold = false);
  ~TextFont();
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;
  bool Ok() const { return font_ != nullptr; }
  // The text's coverage as a raster of the given colour.
  Raster Render(const std::string& utf8, const Rgba& colour) const;

 private:
  _TTF_Font* font_ = nullptr;
};

// Initialises SDL_ttf once for the process; false when it cannot.
bool InitText();

// Draws text centred on (cx, cy); a shadow colour with alpha > 0 is drawn
// first, one pixel down and right.
void DrawTextCentred(Raster& dst, const TextFont& font, const std::string& utf8, float cx,
                     float cy, const Rgba& colour, const Rgba& shadow = {});
void DrawTextAt(Raster& dst, const TextFont& font, const std::string& utf8, int x, int y,
                const Rgba& colour);
