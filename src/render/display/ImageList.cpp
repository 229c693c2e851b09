// Drawing named ARGB images into the RGB565 back buffer: plain (blended by
// each pixel's alpha), stretched with an overall alpha, and turned about a
// point with bilinear sampling. Everything is clipped to the buffer.
#include "ImageList.h"

#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <cmath>
#include <cstdio>
#include <numbers>

#include "FileIo.h"

namespace {

inline uint16_t Pack565(unsigned r, unsigned g, unsigned b) {
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Lays colour (r, g, b) with opacity a (0..255) over the pixel.
inline void Blend(uint16_t& d, unsigned r, unsigned g, unsigned b, unsigned a) {
  if (a == 0) return;
  if (a >= 255) {
    d = Pack565(r, g, b);
    return;
  }
  const unsigned r5 = d >> 11, g6 = (d >> 5) & 63, b5 = d & 31;
  const unsigned dr = (r5 << 3) | (r5 >> 2), dg = (g6 << 2) | (g6 >> 4), db = (b5 << 3) | (b5 >> 2);
  const unsigned na = 255 - a;
  d = Pack565((r * a + dr * na + 127) / 255, (g * a + dg * na + 127) / 255, (b * a + db * na + 127) / 255);
}

// ceil(2^24 / a) for a = 1..255: x / a == (x * kInverse[a]) >> 24 for every
// x = a * c with c up to 255, and within 1 for the other x up to 255 * a.
const struct Inverse {
  uint32_t v[256];
  Inverse() {
    v[0] = 0;
    for (uint32_t a = 1; a < 256; ++a) v[a] = ((1u << 24) + a - 1) / a;
  }
  uint32_t operator[](unsigned a) const { return v[a]; }
} kInverse;

inline void BlendArgb(uint16_t& d, uint32_t p, unsigned a) {
  Blend(d, (p >> 16) & 255, (p >> 8) & 255, p & 255, a);
}

}  // namespace

bool TDXImageList::LoadFromFile(const std::string& path) {
  std::vector<LibraryImage> images;
  std::string error;
  const bool ok = ReadImageLibrary(path, images, error, TUnpack::OnFirstUse);
  // The reader's message names the file: "FILE: what is wrong (reason)".
  if (!ok) Report({"", error, ""});
  Assign(std::move(images));
  return ok;
}

void TDXImageList::Assign(std::vector<LibraryImage> images) {
  images_ = std::move(images);
  ++fills_;
  runs_.assign(images_.size(), TRuns{});
  looked_.assign(images_.size(), 0);
}

const TDXImageList::TRuns& TDXImageList::RunsOf(size_t image) const {
  if (!looked_[image]) {
    looked_[image] = 1;
    BuildRuns(image);
  }
  return runs_[image];
}

void TDXImageList::BuildRuns(size_t image) const {
  // Small pictures (stars, marks) are blended directly: runs would not pay.
  constexpr int MinPixels = 64 * 64;
  const LibraryImage& im = images_[image];
  const size_t w = static_cast<size_t>(std::max(0, im.FrameWidth));
  const size_t rows = static_cast<size_t>(std::max(0, im.FrameHeight)) *
                      static_cast<size_t>(std::max(0, im.FrameCount));
  if (w > 65535 || im.Pixels.size() < w * rows) return;
  TRuns& r = runs_[image];
  if (w * std::max(0, im.FrameHeight) < static_cast<size_t>(MinPixels)) {
    const int fh = im.FrameHeight;
    r.Inked.reserve(static_cast<size_t>(im.FrameCount));
    for (int f = 0; f < im.FrameCount; ++f) {
      TRuns::TBox b{static_cast<uint16_t>(w), static_cast<uint16_t>(fh), 0, 0};
      for (int y = 0; y < fh; ++y) {
        const uint32_t* p = im.Pixels.data() + (static_cast<size_t>(f) * fh + y) * w;
        for (size_t x = 0; x < w; ++x) {
          if ((p[x] >> 24) == 0) continue;
          b.Left = std::min<uint16_t>(b.Left, static_cast<uint16_t>(x));
          b.Right = std::max<uint16_t>(b.Right, static_cast<uint16_t>(x + 1));
          b.Top = std::min<uint16_t>(b.Top, static_cast<uint16_t>(y));
          b.Bottom = static_cast<uint16_t>(y + 1);
        }
      }
      r.Inked.push_back(b);
    }
    return;
  }
  r.Packed.resize(w * rows);
  r.RowFirst.reserve(rows + 1);
  for (size_t row = 0; row < rows; ++row) {
    r.RowFirst.push_back(static_cast<uint32_t>(r.Runs.size()));
    const uint32_t* p = im.Pixels.data() + row * w;
    size_t x = 0;
    while (x < w) {
      auto kind = [](uint32_t px) -> uint8_t {
        const uint32_t a = px >> 24;
        return a == 0 ? 0 : a == 255 ? 1 : 2;
      };
      const uint8_t k = kind(p[x]);
      size_t end = x + 1;
      while (end < w && kind(p[end]) == k) ++end;
      r.Runs.push_back({static_cast<uint16_t>(x), static_cast<uint16_t>(end - x), k});
      x = end;
    }
    for (size_t i = 0; i < w; ++i)
      r.Packed[row * w + i] = Pack565((p[i] >> 16) & 255, (p[i] >> 8) & 255, p[i] & 255);
  }
  r.RowFirst.push_back(static_cast<uint32_t>(r.Runs.size()));
}

int TDXImageList::Find(const std::string& name) const {
  for (size_t i = 0; i < images_.size(); ++i)
    if (images_[i].Name == name) return static_cast<int>(i);
  return -1;
}

const LibraryImage* TDXImageList::Image(int image) const {
  if (image < 0 || image >= Count()) return nullptr;
  LibraryImage& im = images_[image];
  UnpackImage(im);
  // An image whose pixels do not cover its frames is treated as missing.
  if (im.FrameWidth <= 0 || im.FrameHeight <= 0 || im.FrameCount <= 0) return nullptr;
  const size_t need = static_cast<size_t>(im.FrameWidth) * im.FrameHeight * im.FrameCount;
  if (im.Pixels.size() < need) return nullptr;
  return &im;
}

int TDXImageList::Width(int image) const {
  const LibraryImage* im = Image(image);
  return im ? im->FrameWidth : 0;
}

int TDXImageList::Height(int image) const {
  const LibraryImage* im = Image(image);
  return im ? im->FrameHeight : 0;
}

int TDXImageList::FrameCount(int image) const {
  const LibraryImage* im = Image(image);
  return im ? im->FrameCount : 0;
}

// The first pixel of a frame, or nullptr for a missing image or frame.
static const uint32_t* FramePixels(const LibraryImage* im, int frame) {
  if (!im || frame < 0 || frame >= im->FrameCount) return nullptr;
  return im->Pixels.data() + static_cast<size_t>(frame) * im->FrameWidth * im->FrameHeight;
}

void TDXImageList::Draw(TBackBuffer& dst, int image, int x, int y, int frame) const {
  const LibraryImage* im = Image(image);
  const uint32_t* src = FramePixels(im, frame);
  if (!src) return;
  const int fw = im->FrameWidth, fh = im->FrameHeight, W = dst.Width(), H = dst.Height();
  const long long x0 = std::max<long long>(0, x), x1 = std::min<long long>(W, static_cast<long long>(x) + fw);
  const long long y0 = std::max<long long>(0, y), y1 = std::min<long long>(H, static_cast<long long>(y) + fh);
  const TRuns& runs = RunsOf(static_cast<size_t>(image));
  if (!runs.Runs.empty()) {
    // Columns of the frame that land in the buffer: [c0, c1).
    const long long c0 = x0 - x, c1 = x1 - x;
    for (long long yy = y0; yy < y1; ++yy) {
      const size_t row = static_cast<size_t>(frame) * fh + static_cast<size_t>(yy - y);
      const uint32_t* s = src + (yy - y) * fw;
      const uint16_t* packed = runs.Packed.data() + row * fw;
      uint16_t* d = dst.Pixels() + yy * W;
      for (uint32_t k = runs.RowFirst[row]; k < runs.RowFirst[row + 1]; ++k) {
        const TRun& run = runs.Runs[k];
        const long long a = std::max<long long>(run.Start, c0);
        const long long b = std::min<long long>(run.Start + run.Length, c1);
        if (a >= b || run.Kind == 0) continue;
        if (run.Kind == 1) {
          std::copy(packed + a, packed + b, d + (x + a));
        } else {
          for (long long c = a; c < b; ++c) BlendArgb(d[x + c], s[c], s[c] >> 24);
        }
      }
    }
    return;
  }
  // Only the frame's inked box: the pixels around it are fully transparent.
  long long bx0 = x0, bx1 = x1, by0 = y0, by1 = y1;
  if (static_cast<size_t>(frame) < runs.Inked.size()) {
    const TRuns::TBox& b = runs.Inked[static_cast<size_t>(frame)];
    bx0 = std::max<long long>(x0, static_cast<long long>(x) + b.Left);
    bx1 = std::min<long long>(x1, static_cast<long long>(x) + b.Right);
    by0 = std::max<long long>(y0, static_cast<long long>(y) + b.Top);
    by1 = std::min<long long>(y1, static_cast<long long>(y) + b.Bottom);
  }
  for (long long yy = by0; yy < by1; ++yy) {
    const uint32_t* s = src + (yy - y) * fw + (bx0 - x);
    uint16_t* d = dst.Pixels() + yy * W + bx0;
    for (long long xx = bx0; xx < bx1; ++xx, ++s, ++d) BlendArgb(*d, *s, *s >> 24);
  }
}

void TDXImageList::DrawAlpha(TBackBuffer& dst, int image, const TRect& r, int frame, int alpha) const {
  const LibraryImage* im = Image(image);
  const uint32_t* src = FramePixels(im, frame);
  if (!src || alpha <= 0) return;
  alpha = std::min(alpha, 255);
  const long long rw = static_cast<long long>(r.Right) - r.Left, rh = static_cast<long long>(r.Bottom) - r.Top;
  if (rw <= 0 || rh <= 0) return;
  const int fw = im->FrameWidth, fh = im->FrameHeight, W = dst.Width(), H = dst.Height();
  const long long x0 = std::max<long long>(0, r.Left), x1 = std::min<long long>(W, r.Right);
  const long long y0 = std::max<long long>(0, r.Top), y1 = std::min<long long>(H, r.Bottom);
  if (x0 >= x1 || y0 >= y1) return;
  // Nearest sampling: destination column c takes source column
  // floor((c + 1/2) * fw / rw), stepped in 32.32 fixed point.
  const long long stepX = (static_cast<long long>(fw) << 32) / rw;
  const long long stepY = (static_cast<long long>(fh) << 32) / rh;
  const unsigned long long startX = static_cast<unsigned long long>(stepX / 2 + (x0 - r.Left) * stepX);
  unsigned long long sy = static_cast<unsigned long long>(stepY / 2 + (y0 - r.Top) * stepY);
  for (long long yy = y0; yy < y1; ++yy, sy += stepY) {
    const long long row = std::min<long long>(static_cast<long long>(sy >> 32), fh - 1);
    const uint32_t* s = src + row * fw;
    uint16_t* d = dst.Pixels() + yy * W + x0;
    unsigned long long sx = startX;
    for (long long xx = x0; xx < x1; ++xx, ++d, sx += stepX) {
      const uint32_t p = s[std::min<long long>(static_cast<long long>(sx >> 32), fw - 1)];
      const unsigned a = (p >> 24) * static_cast<unsigned>(alpha);
      BlendArgb(*d, p, (a + 127) / 255);
    }
  }
}

// Inverse mapping: each destination pixel whose centre, turned back by the
// angle about (x, y) and scaled from w x h to the frame size, falls inside
// the frame is drawn, sampled bilinearly from the nearest four pixels (the
// frame's edge pixels repeated beyond it). Screen y points down, so a
// positive angle turns clockwise.
void TDXImageList::DrawRotate(TBackBuffer& dst, int image, int x, int y, int w, int h, int frame,
                              double cx, double cy, int angle) const {
  const LibraryImage* im = Image(image);
  const uint32_t* src = FramePixels(im, frame);
  if (!src || w <= 0 || h <= 0 || !std::isfinite(cx) || !std::isfinite(cy)) return;
  const int fw = im->FrameWidth, fh = im->FrameHeight, W = dst.Width(), H = dst.Height();

  // The same turn onto the same place as one of the last ones: its colours
  // are blended again without resampling (the dials while the view stands
  // or only the other dial turns). A turn is kept from its second frame on,
  // so that a dial turning in every frame costs no more than drawing it.
  const TTurnKey key{image, frame, x, y, w, h, angle, W, H, cx, cy, fills_};
  TTurned* slot = nullptr;
  for (TTurned& t : turned_)
    if (t.Key == key && t.Kept) {
      BlendTurned(dst, t);
      return;
    }
  for (TTurned& t : turned_)  // the slot this picture had, else the oldest
    if (t.Key.Image == image && t.Key.Fills == fills_) slot = &t;
  if (!slot) {
    slot = &turned_[nextTurned_];
    nextTurned_ = (nextTurned_ + 1) % turned_.size();
    slot->Key = TTurnKey{};
    slot->Kept = false;
  }
  const bool keep = slot->Key == key;
  slot->Key = key;
  slot->Kept = false;

  double c, s;
  switch (((angle % 256) + 256) % 256) {   // exact quarter turns
    case 0: c = 1, s = 0; break;
    case 64: c = 0, s = 1; break;
    case 128: c = -1, s = 0; break;
    case 192: c = 0, s = -1; break;
    default: {
      const double t = angle * (2 * std::numbers::pi / 256);
      c = std::cos(t);
      s = std::sin(t);
    }
  }
  // Corners of the picture relative to the anchor, turned onto the screen.
  const double ax = cx * w, ay = cy * h;
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (double lx : {-ax, w - ax})
    for (double ly : {-ay, h - ay}) {
      const double X = x + c * lx - s * ly, Y = y + s * lx + c * ly;
      minX = std::min(minX, X), maxX = std::max(maxX, X);
      minY = std::min(minY, Y), maxY = std::max(maxY, Y);
    }
  const long long px0 = static_cast<long long>(std::max(0.0, std::floor(minX)));
  const long long px1 = static_cast<long long>(std::min<double>(W, std::ceil(maxX)));
  const long long py0 = static_cast<long long>(std::max(0.0, std::floor(minY)));
  const long long py1 = static_cast<long long>(std::min<double>(H, std::ceil(maxY)));
  if (px0 >= px1 || py0 >= py1) return;
  const long long columns = px1 - px0;
  if (keep) {
    slot->Left = px0;
    slot->Top = py0;
    slot->Columns = columns;
    slot->Rows = py1 - py0;
    slot->Pixels.assign(static_cast<size_t>(slot->Columns * slot->Rows), 0);
    slot->Kept = true;
  }

  // Source position (in frame pixels, relative to pixel centres) per
  // destination step, in 16.16 fixed point.
  const double kx = static_cast<double>(fw) / w, ky = static_cast<double>(fh) / h;
  const long long duX = std::llround(c * kx * 65536), dvX = std::llround(-s * ky * 65536);
  auto at = [&](double dx, double dy, long long& u, long long& v) {
    u = std::llround(((c * dx + s * dy) + ax) * kx * 65536 - 32768);
    v = std::llround(((-s * dx + c * dy) + ay) * ky * 65536 - 32768);
  };
  const long long limitU = static_cast<long long>(fw) << 16, limitV = static_cast<long long>(fh) << 16;
  auto pixel = [&](long long ix, long long iy) -> uint32_t {
    return src[std::clamp<long long>(iy, 0, fh - 1) * fw + std::clamp<long long>(ix, 0, fw - 1)];
  };
  auto inside = [&](long long u, long long v) {
    return u >= -32768 && v >= -32768 && u + 32768 < limitU && v + 32768 < limitV;
  };
  // The pixels [first, last) of a row whose source position lies on the
  // frame: estimated from the straight line u, v follow, then settled by
  // the exact test at its ends.
  auto span = [&](long long u0, long long v0, long long& first, long long& last) {
    double lo = 0, hi = static_cast<double>(columns);
    auto clip = [&](long long p0, long long dp, long long limit) {
      // -32768 <= p0 + i * dp < limit - 32768
      if (dp == 0) {
        if (p0 < -32768 || p0 + 32768 >= limit) hi = lo - 1;
        return;
      }
      double a = (-32768.0 - p0) / dp, b = (limit - 32768.0 - p0) / dp;
      if (a > b) std::swap(a, b);
      lo = std::max(lo, std::floor(a) - 1);
      hi = std::min(hi, std::ceil(b) + 1);
    };
    clip(u0, duX, limitU);
    clip(v0, dvX, limitV);
    if (hi <= lo) {
      first = last = 0;
      return;
    }
    first = static_cast<long long>(std::max(0.0, lo));
    last = static_cast<long long>(std::min<double>(static_cast<double>(columns), hi));
    while (first < last && !inside(u0 + first * duX, v0 + first * dvX)) ++first;
    while (last > first && !inside(u0 + (last - 1) * duX, v0 + (last - 1) * dvX)) --last;
  };
  // Each covered pixel's colour and alpha (0xAARRGGBB): blended onto the
  // buffer, and kept when the turn is kept.
  for (long long py = py0; py < py1; ++py) {
    long long u0, v0;
    at(px0 + 0.5 - x, py + 0.5 - y, u0, v0);
    long long first, last;
    span(u0, v0, first, last);
    uint16_t* d = dst.Pixels() + py * W + px0;
    uint32_t* k = keep ? slot->Pixels.data() + (py - py0) * columns : nullptr;
    long long u = u0 + first * duX, v = v0 + first * dvX;
    for (long long i = first; i < last; ++i, u += duX, v += dvX) {
      const long long ix = u >> 16, iy = v >> 16;
      const unsigned fx = static_cast<unsigned>((u >> 8) & 255), fy = static_cast<unsigned>((v >> 8) & 255);
      // Away from the frame's edges the four neighbours are read directly;
      // beyond them its edge pixels repeat.
      const bool inner = ix >= 0 && iy >= 0 && ix + 1 < fw && iy + 1 < fh;
      const uint32_t* q = inner ? src + iy * fw + ix : nullptr;
      const uint32_t p00 = inner ? q[0] : pixel(ix, iy);
      uint32_t out = p00;
      if ((fx | fy) != 0) {   // between pixel centres
        const uint32_t p[4] = {p00, inner ? q[1] : pixel(ix + 1, iy),
                               inner ? q[fw] : pixel(ix, iy + 1), inner ? q[fw + 1] : pixel(ix + 1, iy + 1)};
        if (((p[0] | p[1] | p[2] | p[3]) >> 24) == 0) continue;   // all four transparent
        if (p[1] != p00 || p[2] != p00 || p[3] != p00) {   // not inside a flat area
          const unsigned wt[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy, fx * fy};
          uint64_t A = 0, R = 0, G = 0, B = 0;
          for (int n = 0; n < 4; ++n) {
            const uint64_t wa = static_cast<uint64_t>(wt[n]) * (p[n] >> 24);
            A += wa;
            R += wa * ((p[n] >> 16) & 255);
            G += wa * ((p[n] >> 8) & 255);
            B += wa * (p[n] & 255);
          }
          // Alpha-weighted mean colour: (sum / 65536) / alpha through the
          // table of reciprocals (exact when all weight lies on one pixel).
          const unsigned a = static_cast<unsigned>((A + 32768) >> 16);
          if (a == 0) continue;
          const uint64_t inv = kInverse[a];
          const uint32_t r = static_cast<uint32_t>(std::min<uint64_t>(255, ((R >> 16) * inv) >> 24));
          const uint32_t g = static_cast<uint32_t>(std::min<uint64_t>(255, ((G >> 16) * inv) >> 24));
          const uint32_t b = static_cast<uint32_t>(std::min<uint64_t>(255, ((B >> 16) * inv) >> 24));
          out = std::min(a, 255u) << 24 | r << 16 | g << 8 | b;
        }
      }
      if (out >> 24) BlendArgb(d[i], out, out >> 24);
      if (k) k[i] = out;
    }
  }
}

void TDXImageList::BlendTurned(TBackBuffer& dst, const TTurned& t) {
  for (long long row = 0; row < t.Rows; ++row) {
    const uint32_t* s = t.Pixels.data() + row * t.Columns;
    uint16_t* d = dst.Pixels() + (t.Top + row) * dst.Width() + t.Left;
    for (long long col = 0; col < t.Columns; ++col)
      if (s[col] >> 24) BlendArgb(d[col], s[col], s[col] >> 24);
  }
}

namespace {

// The weights of a box reduction along one axis: output pixel o covers the
// source interval [o / ratio, (o + 1) / ratio), clipped to the source.
struct TBoxTap {
  int First = 0;
  std::vector<float> Weights;  // per source pixel from First; they sum to 1
};

std::vector<TBoxTap> BoxTaps(int from, int to) {
  std::vector<TBoxTap> taps(static_cast<size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int o = 0; o < to; ++o) {
    const double a = o * step, b = std::min<double>(from, (o + 1) * step);
    TBoxTap& t = taps[static_cast<size_t>(o)];
    t.First = static_cast<int>(std::floor(a));
    for (int i = t.First; i < b && i < from; ++i) {
      const double w = std::min<double>(i + 1, b) - std::max<double>(i, a);
      if (w > 0) t.Weights.push_back(static_cast<float>(w / (b - a)));
    }
  }
  return taps;
}

// std::lround(x) for x >= 0, and at most 0 where x < 0, without the
// library call: a float plus one half is exact in double.
inline long RoundFloat(float x) { return static_cast<long>(static_cast<double>(x) + 0.5); }

}  // namespace

LibraryImage ReduceImage(const LibraryImage& source, double ratio) {
  LibraryImage out;
  out.Name = source.Name;
  out.FrameCount = source.FrameCount;
  const int sw = source.FrameWidth, sh = source.FrameHeight;
  if (sw <= 0 || sh <= 0 || source.FrameCount <= 0 || ratio <= 0 ||
      source.Pixels.size() < static_cast<size_t>(sw) * sh * source.FrameCount)
    return out;
  const int dw = std::max(1, static_cast<int>(std::lround(sw * std::min(ratio, 1.0))));
  const int dh = std::max(1, static_cast<int>(std::lround(sh * std::min(ratio, 1.0))));
  out.FrameWidth = dw;
  out.FrameHeight = dh;
  out.Pixels.resize(static_cast<size_t>(dw) * dh * source.FrameCount);
  const std::vector<TBoxTap> across = BoxTaps(sw, dw), down = BoxTaps(sh, dh);
  // Premultiplied channels, reduced across then down.
  std::vector<float> row(static_cast<size_t>(dw) * sh * 4);
  for (int f = 0; f < source.FrameCount; ++f) {
    const uint32_t* src = source.Pixels.data() + static_cast<size_t>(f) * sw * sh;
    for (int y = 0; y < sh; ++y)
      for (int o = 0; o < dw; ++o) {
        const TBoxTap& t = across[static_cast<size_t>(o)];
        float acc[4] = {};
        for (size_t k = 0; k < t.Weights.size(); ++k) {
          const uint32_t p = src[static_cast<size_t>(y) * sw + t.First + k];
          const float a = (p >> 24) / 255.0f * t.Weights[k];
          acc[0] += ((p >> 16) & 255) * a;
          acc[1] += ((p >> 8) & 255) * a;
          acc[2] += (p & 255) * a;
          acc[3] += a;
        }
        std::copy(acc, acc + 4, row.begin() + (static_cast<size_t>(y) * dw + o) * 4);
      }
    uint32_t* dst = out.Pixels.data() + static_cast<size_t>(f) * dw * dh;
    for (int o = 0; o < dh; ++o) {
      const TBoxTap& t = down[static_cast<size_t>(o)];
      for (int x = 0; x < dw; ++x) {
        float acc[4] = {};
        for (size_t k = 0; k < t.Weights.size(); ++k) {
          const float* q = &row[(static_cast<size_t>(t.First + k) * dw + x) * 4];
          for (int ch = 0; ch < 4; ++ch) acc[ch] += q[ch] * t.Weights[k];
        }
        const long alpha = RoundFloat(std::clamp(acc[3], 0.0f, 1.0f) * 255);
        uint32_t v = 0;
        if (alpha > 0) {
          const auto channel = [&](float c) {
            return static_cast<uint32_t>(std::clamp(RoundFloat(c / acc[3]), 0L, 255L));
          };
          v = (static_cast<uint32_t>(alpha) << 24) | (channel(acc[0]) << 16) |
              (channel(acc[1]) << 8) | channel(acc[2]);
        }
        dst[static_cast<size_t>(o) * dw + x] = v;
      }
    }
  }
  return out;
}

const TDXImageList& TScaledPanelArt::For(const TDXImageList& base, double scale) {
  if (scale <= 1.0 + 1e-9 || scale > 3.0 + 1e-9) return base;
  const int step = scale <= 2.0 + 1e-9 ? 0 : 1;
  if (!read_[step]) {
    read_[step] = true;
    readOk_[step] = drawn_[step].LoadFromFile(step == 0 ? File2x : File3x);
  }
  if (!readOk_[step]) return base;
  const double drawnAt = step == 0 ? 2.0 : 3.0;
  if (std::fabs(scale - drawnAt) < 1e-9) return drawn_[step];
  if (reducedScale_ != scale) {
    std::vector<LibraryImage> images;
    images.reserve(static_cast<size_t>(drawn_[step].Count()));
    for (int i = 0; i < drawn_[step].Count(); ++i)
      if (const LibraryImage* im = drawn_[step].Image(i))
        images.push_back(ReduceImage(*im, scale / drawnAt));
    reduced_.Assign(std::move(images));
    reducedScale_ = scale;
    // The pictures drawn at the step are read again should they be needed.
    drawn_[step].Assign({});
    read_[step] = false;
  }
  return reduced_;
}

TScaledHoverArt::TPick TScaledHoverArt::For(const TDXImageList& base, const std::string& name,
                                            int frame, double scale) {
  const TPick plain{&base, base.Find(name), frame};
  if (scale <= 1.0 + 1e-9) return plain;
  if (!pictureRead_ || pictureName_ != name) {
    Release();
    pictureRead_ = true;
    pictureName_ = name;
    std::string error;
    // Only this picture is kept: the 2x library is several times the size
    // of what the program otherwise holds. A library without it is no fault
    // (the 1x picture is drawn); a damaged one is said once.
    if (!ReadLibraryImage(File2x, name, picture_, error)) {
      picture_ = LibraryImage{};
      if (error.find(": no image called ") == std::string::npos) Report({"", error, ""});
    }
  }
  if (picture_.Name.empty() || frame < 0 || frame >= picture_.FrameCount) return plain;
  if (shownScale_ == scale && shownFrame_ == frame) return {&shown_, 0, 0};
  LibraryImage one;
  one.Name = picture_.Name;
  one.FrameWidth = picture_.FrameWidth;
  one.FrameHeight = picture_.FrameHeight;
  one.FrameCount = 1;
  const size_t size = static_cast<size_t>(picture_.FrameWidth) * picture_.FrameHeight;
  one.Pixels.assign(picture_.Pixels.begin() + static_cast<ptrdiff_t>(size * frame),
                    picture_.Pixels.begin() + static_cast<ptrdiff_t>(size * (frame + 1)));
  std::vector<LibraryImage> list;
  list.push_back(scale < 2.0 - 1e-9 ? ReduceImage(one, scale / 2.0) : std::move(one));
  shown_.Assign(std::move(list));
  shownFrame_ = frame;
  shownScale_ = scale;
  return {&shown_, 0, 0};
}

void TScaledHoverArt::Release() {
  if (!pictureRead_) return;
  pictureRead_ = false;
  pictureName_.clear();
  picture_ = LibraryImage{};
  shown_.Assign({});
  shownFrame_ = -1;
  shownScale_ = 0;
#if defined(__GLIBC__)
  // The picture's memory goes back to the system, not only to the heap.
  malloc_trim(0);
#endif
}
