// contactsheet: draws every image and frame of an image library, with its
// name, frame size and count, onto one PNG for review.
//
// Usage: contactsheet <library.rxf> <out.png> <label font>
//        contactsheet --preview <LoadImg.rxf> <out.png>   (window mock-up)
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "FileIo.h"
#include "ImageLibrary.h"
#include "Preview.h"

namespace {

constexpr int kSheetWidth = 1240;
constexpr int kGap = 6;
constexpr int kLabel = 16;

struct Sheet {
  int w, h;
  std::vector<uint32_t> px;   // ARGB, opaque
  void Put(int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<size_t>(y) * w + x] = c;
  }
  uint32_t Get(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

uint32_t Over(uint32_t dst, uint32_t src) {
  const uint32_t a = src >> 24;
  auto ch = [&](int s) {
    const uint32_t d = (dst >> s) & 255, c = (src >> s) & 255;
    return ((c * a + d * (255 - a) + 127) / 255) << s;
  };
  return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

// A frame scaled by an integer factor over a checkerboard (transparency shows
// as the two greys).
void DrawFrame(Sheet& s, const LibraryImage& img, int frame, int ox, int oy, int scale) {
  for (int y = 0; y < img.FrameHeight * scale; ++y)
    for (int x = 0; x < img.FrameWidth * scale; ++x) {
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      const uint32_t bg = dark ? 0xFF101018u : 0xFF1C1C28u;
      const uint32_t p =
          img.Pixels[(static_cast<size_t>(frame) * img.FrameHeight + y / scale) * img.FrameWidth +
                     x / scale];
      s.Put(ox + x, oy + y, Over(bg, p));
    }
}

void DrawLabel(Sheet& s, TTF_Font* font, const std::string& text, int x, int y) {
  if (!font) return;
  SDL_Surface* t = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{230, 230, 160, 255});
  if (!t) return;
  SDL_Surface* c = SDL_ConvertSurfaceFormat(t, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(t);
  if (!c) return;
  for (int j = 0; j < c->h; ++j)
    for (int i = 0; i < c->w; ++i) {
      const int dx = x + i, dy = y + j;
      if (dx < 0 || dy < 0 || dx >= s.w || dy >= s.h) continue;
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(c->pixels) +
                                                           j * c->pitch);
      s.Put(dx, dy, Over(s.Get(dx, dy), row[i]));
    }
  SDL_FreeSurface(c);
}

struct Placed {
  int image, frame, x, y, scale;
};

// Encodes the sheet in memory and writes it through the atomic writer.
bool SavePng(std::vector<uint32_t>& px, int w, int h, const char* path) {
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), w, h, 32, w * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
  // Room for the worst case: every row stored uncompressed, plus headers.
  const size_t raw = (static_cast<size_t>(w) * 4 + 1) * static_cast<size_t>(h);
  std::vector<uint8_t> encoded(raw + raw / 1000 + 65536);
  SDL_RWops* rw = SDL_RWFromMem(encoded.data(), static_cast<int>(encoded.size()));
  bool ok = out && rw && IMG_SavePNG_RW(out, rw, 0) == 0;
  const Sint64 size = rw ? SDL_RWtell(rw) : -1;
  if (rw) SDL_RWclose(rw);
  if (out) SDL_FreeSurface(out);
  std::string why = ok ? "" : IMG_GetError();
  ok = ok && size > 0 &&
       WriteFileAtomic(path, std::span<const uint8_t>(encoded.data(), static_cast<size_t>(size)),
                       &why);
  if (!ok) ReportFile(path, "cannot be written", why, "contactsheet");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--preview") {
    std::vector<LibraryImage> lib;
    std::string error;
    if (!ReadImageLibrary(argv[2], lib, error)) std::fprintf(stderr, "contactsheet: %s\n", error.c_str());
    std::vector<uint32_t> px = RenderPreview(lib);
    return SavePng(px, 800, 600, argv[3]) ? 0 : 1;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: contactsheet <library.rxf> <out.png> <label font>\n");
    return 2;
  }
  std::vector<LibraryImage> lib;
  std::string error;
  if (!ReadImageLibrary(argv[1], lib, error)) {
    std::fprintf(stderr, "contactsheet: %s\n", error.c_str());
    if (lib.empty()) return 1;
  }
  TTF_Init();
  TTF_Font* font = TTF_OpenFont(argv[3], 12);

  // Layout: each image gets a label line, then its frames in rows.
  std::vector<Placed> placed;
  std::vector<std::pair<std::string, std::pair<int, int>>> labels;
  int x = kGap, y = kGap, rowH = 0;
  for (size_t i = 0; i < lib.size(); ++i) {
    const LibraryImage& img = lib[i];
    const int scale = std::max(img.FrameWidth, img.FrameHeight) <= 24 ? 3
                      : std::max(img.FrameWidth, img.FrameHeight) <= 50 ? 2 : 1;
    const int fw = img.FrameWidth * scale, fh = img.FrameHeight * scale;
    const std::string text = img.Name + "  " + std::to_string(img.FrameWidth) + "x" +
                             std::to_string(img.FrameHeight) +
                             (img.FrameCount > 1 ? " x" + std::to_string(img.FrameCount) : "") +
                             (scale > 1 ? "  (shown x" + std::to_string(scale) + ")" : "");
    const int labelW = static_cast<int>(text.size()) * 7 + 10;
    const int blockW = std::min(kSheetWidth - 2 * kGap,
                                std::max(img.FrameCount * (fw + 2), labelW));
    if (x + blockW > kSheetWidth - kGap) {
      x = kGap;
      y += rowH + kGap;
      rowH = 0;
    }
    labels.push_back({text, {x, y}});
    int fx = x, fy = y + kLabel, usedW = 0, bottom = fy + fh;
    for (int f = 0; f < img.FrameCount; ++f) {
      if (fx + fw > x + blockW && fx > x) {
        fx = x;
        fy += fh + 2;
      }
      placed.push_back({static_cast<int>(i), f, fx, fy, scale});
      fx += fw + 2;
      usedW = std::max(usedW, fx - x);
      bottom = fy + fh;
    }
    rowH = std::max(rowH, bottom - y);
    x += std::max(usedW, labelW) + kGap * 2;
  }
  Sheet s{kSheetWidth, y + rowH + kGap, {}};
  s.px.assign(static_cast<size_t>(s.w) * s.h, 0xFF303040u);
  for (const Placed& p : placed) DrawFrame(s, lib[p.image], p.frame, p.x, p.y, p.scale);
  for (const auto& l : labels) DrawLabel(s, font, l.first, l.second.first, l.second.second);

  const bool ok = SavePng(s.px, s.w, s.h, argv[2]);
  if (font) TTF_CloseFont(font);
  return ok ? 0 : 1;
}
