#include "Png.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <vector>

#include "FileIo.h"

namespace {
constexpr int kMaxSide = 8192;
}

namespace {

// Encodes the picture in memory, then writes it by the one atomic writer;
// frees the surface.
bool SaveSurface(SDL_Surface* s, const std::string& path, std::string& error) {
  // Room for the worst case: every row stored uncompressed (a filter byte per
  // row, a block header per 16 KiB) plus the chunk headers.
  const size_t raw = (static_cast<size_t>(s->w) * s->format->BytesPerPixel + 1) *
                     static_cast<size_t>(s->h);
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

// Fills a picture of `format` (RGB24 or RGBA32) row by row from pixel(x, y)
// (0xAARRGGBB) and saves it.
template <class Pixel>
bool SavePixels(int w, int h, SDL_PixelFormatEnum format, Pixel pixel, const std::string& path,
                std::string& error) {
  if (w <= 0 || h <= 0) {
    error = "empty picture";
    return false;
  }
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format);
  if (!s) {
    error = std::string("cannot make a picture: ") + SDL_GetError();
    return false;
  }
  const int bytes = s->format->BytesPerPixel;
  SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      uint8_t* p = row + static_cast<size_t>(bytes) * x;
      p[0] = (c >> 16) & 255;
      p[1] = (c >> 8) & 255;
      p[2] = c & 255;
      if (bytes == 4) p[3] = (c >> 24) & 255;
    }
  }
  SDL_UnlockSurface(s);
  return SaveSurface(s, path, error);
}

// A TColor (0x00BBGGRR) as 0xAARRGGBB.
uint32_t Argb(TColor c) { return 0xff000000u | ((c & 255) << 16) | (c & 0xff00) | ((c >> 16) & 255); }

}  // namespace

bool SavePng(const TBackBuffer& buffer, const std::string& path, std::string& error) {
  const int w = buffer.Width();
  const uint16_t* src = buffer.Pixels();
  return SavePixels(
      w, buffer.Height(), SDL_PIXELFORMAT_RGB24,
      [&](int x, int y) { return Argb(TBackBuffer::From565(src[static_cast<size_t>(y) * w + x])); },
      path, error);
}

bool SavePngArgb(const uint32_t* argb, int w, int h, const std::string& path,
                 std::string& error) {
  return SavePixels(
      w, h, SDL_PIXELFORMAT_RGB24, [&](int x, int y) { return argb[static_cast<size_t>(y) * w + x]; },
      path, error);
}

bool SavePngWithAlpha(const uint32_t* argb, int w, int h, const std::string& path,
                      std::string& error) {
  return SavePixels(
      w, h, SDL_PIXELFORMAT_RGBA32, [&](int x, int y) { return argb[static_cast<size_t>(y) * w + x]; },
      path, error);
}

bool LoadPngArgb(const std::string& path, int& w, int& h, std::vector<uint32_t>& argb,
                 std::string& error) {
  w = h = 0;
  argb.clear();
  // Read by the non-blocking bounded reader; the size in the header is
  // checked before the picture is decoded (and so allocated).
  std::vector<uint8_t> bytes;
  std::string why;
  if (ReadWholeFile(path, 64u << 20, bytes, &why) != TReadResult::Ok) {
    error = path + ": cannot be read (" + why + ")";
    return false;
  }
  static const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (bytes.size() < 24 || !std::equal(Signature, Signature + 8, bytes.begin()) ||
      !std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR")) {
    error = path + ": not a PNG picture";
    return false;
  }
  auto be32 = [&](size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
           uint32_t(bytes[at + 2]) << 8 | uint32_t(bytes[at + 3]);
  };
  if (be32(16) == 0 || be32(20) == 0 || be32(16) > kMaxSide || be32(20) > kMaxSide) {
    error = path + ": picture size " + std::to_string(be32(16)) + " x " +
            std::to_string(be32(20)) + " out of range";
    return false;
  }
  SDL_Surface* loaded =
      IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (!loaded) {
    error = path + ": cannot be decoded (" + IMG_GetError() + ")";
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
