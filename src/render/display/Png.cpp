#include "Png.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdio>
#include <span>
#include <vector>

#include "FileIo.h"

namespace {
constexpr int kMaxSide = 8192;
}

namespace {

// Fills an RGB24 picture row by row from pixel(x, y) (a TColor) and saves it.
template <class Pixel>
bool SaveRgb(int w, int h, Pixel pixel, const std::string& path, std::string& error) {
  if (w <= 0 || h <= 0) {
    error = "empty picture";
    return false;
  }
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
  if (!s) {
    error = std::string("cannot make a picture: ") + SDL_GetError();
    return false;
  }
  SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    for (int x = 0; x < w; ++x) {
      const TColor c = pixel(x, y);
      row[3 * x] = c & 255;
      row[3 * x + 1] = (c >> 8) & 255;
      row[3 * x + 2] = (c >> 16) & 255;
    }
  }
  SDL_UnlockSurface(s);
  // The picture is encoded in memory, then written by the one atomic
  // writer. Room for the worst case: every row stored uncompressed (a filter
  // byte per row, a block header per 16 KiB) plus the chunk headers.
  const size_t raw = (static_cast<size_t>(w) * 3 + 1) * static_cast<size_t>(h);
  std::vector<uint8_t> encoded(raw + raw / 1000 + 65536);
  SDL_RWops* rw = SDL_RWFromMem(encoded.data(), static_cast<int>(encoded.size()));
  const bool made = rw && IMG_SavePNG_RW(s, rw, 0) == 0;
  const Sint64 size = rw ? SDL_RWtell(rw) : -1;
  if (rw) SDL_RWclose(rw);
  SDL_FreeSurface(s);
  if (!made || size <= 0) {
    error = path + ": cannot save the picture (" + IMG_GetError() + ")";
    return false;
  }
  std::string why;
  if (!WriteFileAtomic(path, std::span<const uint8_t>(encoded.data(), static_cast<size_t>(size)),
                       &why)) {
    error = path + ": cannot save the picture (" + why + ")";
    return false;
  }
  return true;
}

}  // namespace

bool SavePng(const TBackBuffer& buffer, const std::string& path, std::string& error) {
  const int w = buffer.Width();
  const uint16_t* src = buffer.Pixels();
  return SaveRgb(
      w, buffer.Height(),
      [&](int x, int y) { return TBackBuffer::From565(src[static_cast<size_t>(y) * w + x]); },
      path, error);
}

bool SavePngArgb(const uint32_t* argb, int w, int h, const std::string& path,
                 std::string& error) {
  return SaveRgb(
      w, h,
      [&](int x, int y) {
        const uint32_t p = argb[static_cast<size_t>(y) * w + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
      },
      path, error);
}

bool LoadPngArgb(const std::string& path, int& w, int& h, std::vector<uint32_t>& argb,
                 std::string& error) {
  w = h = 0;
  argb.clear();
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    error = "cannot read " + path + ": " + IMG_GetError();
    return false;
  }
  if (loaded->w <= 0 || loaded->h <= 0 || loaded->w > kMaxSide || loaded->h > kMaxSide) {
    error = path + ": picture size " + std::to_string(loaded->w) + " x " +
            std::to_string(loaded->h) + " out of range";
    SDL_FreeSurface(loaded);
    return false;
  }
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!s) {
    error = path + ": cannot convert: " + SDL_GetError();
    return false;
  }
  w = s->w;
  h = s->h;
  argb.resize(static_cast<size_t>(w) * h);
  SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                        static_cast<size_t>(y) * s->pitch);
    std::copy(row, row + w, argb.begin() + static_cast<size_t>(y) * w);
  }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return true;
}
