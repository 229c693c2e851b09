#include "Text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>

bool InitText() {
  static const bool ok = TTF_Init() == 0;
  return ok;
}

TextFont::TextFont(const std::string& path, int pixelSize, bool bold, float scale)
    : scale_(scale) {
  if (!InitText()) return;
  font_ = TTF_OpenFont(path.c_str(), static_cast<int>(std::lround(pixelSize * scale)));
  if (!font_) {
    std::fprintf(stderr, "artgen: cannot open font %s: %s\n", path.c_str(), TTF_GetError());
    return;
  }
  if (bold) TTF_SetFontStyle(font_, TTF_STYLE_BOLD);
  TTF_SetFontHinting(font_, TTF_HINTING_LIGHT);
}

TextFont::~TextFont() {
  if (font_) TTF_CloseFont(font_);
}

Raster TextFont::Render(const std::string& utf8, const Rgba& colour) const {
  if (!font_ || utf8.empty()) return Raster(1, 1);
  SDL_Color white{255, 255, 255, 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(font_, utf8.c_str(), white);
  if (!s) return Raster(1, 1);
  SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!c) return Raster(1, 1);
  Raster r(c->w, c->h);
  SDL_LockSurface(c);
  for (int y = 0; y < c->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(c->pixels) +
                                                         y * c->pitch);
    for (int x = 0; x < c->w; ++x) r.Blend(x, y, colour, (row[x] >> 24) / 255.0f);
  }
  SDL_UnlockSurface(c);
  SDL_FreeSurface(c);
  return r;
}

void DrawTextCentred(Raster& dst, const TextFont& font, const std::string& utf8, float cx,
                     float cy, const Rgba& colour, const Rgba& shadow) {
  const float k = dst.Scale();
  const Raster t = font.Render(utf8, colour);
  const int x = static_cast<int>(std::lround(cx * k - t.W() / 2.0f));
  const int y = static_cast<int>(std::lround(cy * k - t.H() / 2.0f));
  const int step = static_cast<int>(std::lround(k));
  if (shadow.a > 0) dst.DrawPixels(font.Render(utf8, shadow), x + step, y + step);
  dst.DrawPixels(t, x, y);
}

void DrawTextAt(Raster& dst, const TextFont& font, const std::string& utf8, int x, int y,
                const Rgba& colour) {
  dst.Draw(font.Render(utf8, colour), x, y);
}
