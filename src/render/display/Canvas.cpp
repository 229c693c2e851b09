// The back buffer and its canvas: clipped Bresenham lines, ellipses by
// bounding box, a scanline flood fill and cached text, all writing RGB565
// pixels directly; the edges of smooth text are blended with what lies
// beneath.
#include "Canvas.h"

#include <algorithm>
#include <cmath>

#include "TextCache.h"

// ---------------------------------------------------------------------------
// TBackBuffer

TBackBuffer::TBackBuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0) {}

void TBackBuffer::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
}

uint16_t TBackBuffer::To565(TColor c) {
  const unsigned r = c & 255, g = (c >> 8) & 255, b = (c >> 16) & 255;
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

TColor TBackBuffer::From565(uint16_t p) {
  const unsigned r5 = p >> 11, g6 = (p >> 5) & 63, b5 = p & 31;
  return RGB((r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2));
}

void TBackBuffer::Fill(TColor c) { std::fill(pixels_.begin(), pixels_.end(), To565(c)); }

void TBackBuffer::FillRows(int y0, int y1, TColor c) {
  y0 = std::clamp(y0, 0, height_);
  y1 = std::clamp(y1, y0, height_);
  std::fill(pixels_.begin() + static_cast<ptrdiff_t>(y0) * width_,
            pixels_.begin() + static_cast<ptrdiff_t>(y1) * width_, To565(c));
}

void TBackBuffer::Put(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = To565(c);
}

TColor TBackBuffer::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clBlack;
  return From565(pixels_[static_cast<size_t>(y) * width_ + x]);
}

// ---------------------------------------------------------------------------
// TCanvas

namespace {

// Floor and ceiling of a / b for b > 0.
__int128 FloorDiv(__int128 a, __int128 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
__int128 CeilDiv(__int128 a, __int128 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// Fills the horizontal run [x0, x1] of row y, clipped to the buffer.
void Span(TBackBuffer& b, int y, long long x0, long long x1, uint16_t c) {
  if (y < 0 || y >= b.Height()) return;
  x0 = std::max<long long>(x0, 0);
  x1 = std::min<long long>(x1, b.Width() - 1);
  if (x0 > x1) return;
  uint16_t* row = b.Pixels() + static_cast<size_t>(y) * b.Width();
  std::fill(row + x0, row + x1 + 1, c);
}

// `over` laid on `under` by `cover` / 255, each RGB565 channel mixed on
// its own and rounded to nearest.
uint16_t Blend565(uint16_t under, uint16_t over, unsigned cover) {
  auto mix = [cover](unsigned u, unsigned o) {
    return (u * (255 - cover) + o * cover + 127) / 255;
  };
  const unsigned r = mix(under >> 11, over >> 11), g = mix((under >> 5) & 63, (over >> 5) & 63),
                 b = mix(under & 31, over & 31);
  return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

}  // namespace

TCanvas::TCanvas(TBackBuffer& buffer) : buffer_(buffer), text_(std::make_unique<TextCache>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

// The line runs over n = max(|dx|, |dy|) steps from the pen position; step i
// sits at major coordinate x0 + i*sx and minor coordinate
// y0 + sy * round(i * |dy| / |dx|) (halves rounded away from the start).
// Step n, the end point, is not drawn. The range of steps inside the buffer is
// worked out first, so a line far outside costs nothing and no pixel outside
// the buffer is ever addressed.
void TCanvas::LineTo(int x, int y) {
  const long long x0 = penX_, y0 = penY_;
  penX_ = x;
  penY_ = y;
  const int W = buffer_.Width(), H = buffer_.Height();
  if (W <= 0 || H <= 0) return;

  const long long dx = x - x0, dy = y - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  // Major axis a, minor axis b.
  const long long a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
  const long long da = xMajor ? dx : dy, db = xMajor ? dy : dx;
  const long long aLimit = (xMajor ? W : H) - 1, bLimit = (xMajor ? H : W) - 1;
  const long long n = std::llabs(da);
  if (n == 0) return;
  const int sa = da > 0 ? 1 : -1, sb = db > 0 ? 1 : db < 0 ? -1 : 0;
  const __int128 adb = std::llabs(db), twoN = 2 * static_cast<__int128>(n);

  // Steps with the major coordinate inside [0, aLimit].
  __int128 lo = 0, hi = n - 1;
  if (sa > 0) {
    lo = std::max<__int128>(lo, -a0);
    hi = std::min<__int128>(hi, aLimit - a0);
  } else {
    lo = std::max<__int128>(lo, a0 - aLimit);
    hi = std::min<__int128>(hi, a0);
  }
  // Minor offset q(i) = floor((2 i adb + n) / 2n); q(i) >= k from
  // i >= ceil((2k - 1) n / (2 adb)), q(i) <= k up to i < ceil((2k + 1) n / (2 adb)).
  auto firstAtLeast = [&](__int128 k) -> __int128 {
    if (k <= 0) return 0;
    if (adb == 0) return n;   // never
    return CeilDiv((2 * k - 1) * n, 2 * adb);
  };
  auto lastAtMost = [&](__int128 k) -> __int128 {
    if (k < 0) return -1;
    if (adb == 0) return n - 1;
    return CeilDiv((2 * k + 1) * n, 2 * adb) - 1;
  };
  if (sb >= 0) {   // minor coordinate b0 + q(i) within [0, bLimit]
    lo = std::max(lo, firstAtLeast(-b0));
    hi = std::min(hi, lastAtMost(bLimit - b0));
  } else {         // b0 - q(i) within [0, bLimit]
    lo = std::max(lo, firstAtLeast(b0 - bLimit));
    hi = std::min(hi, lastAtMost(b0));
  }
  if (lo > hi) return;

  // Walk the visible steps with the usual error term.
  const __int128 start = 2 * lo * adb + n;
  long long bOff = static_cast<long long>(FloorDiv(start, twoN));
  long long err = static_cast<long long>(start - bOff * twoN);   // in [0, 2n)
  const long long step = static_cast<long long>(2 * adb), wrap = static_cast<long long>(twoN);
  long long a = a0 + sa * static_cast<long long>(lo);
  long long b = b0 + sb * bOff;
  const uint16_t c = TBackBuffer::To565(Pen.Color);
  uint16_t* px = buffer_.Pixels();
  const ptrdiff_t strideA = xMajor ? sa : static_cast<ptrdiff_t>(sa) * W;
  const ptrdiff_t strideB = xMajor ? static_cast<ptrdiff_t>(sb) * W : sb;
  uint16_t* p = px + (xMajor ? b * W + a : a * W + b);
  for (long long remaining = static_cast<long long>(hi - lo);; --remaining) {
    *p = c;
    if (remaining == 0) break;
    p += strideA;
    err += step;
    if (err >= wrap) {
      err -= wrap;
      p += strideB;
    }
  }
}

// The ellipse inscribed in the box [x1, x2) x [y1, y2): a pixel belongs to it
// when its centre lies inside. The brush fills all of it, the pen draws its
// rim (the pixels with a 4-neighbour outside).
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  long long left = std::min(x1, x2), right = std::max(x1, x2);
  long long top = std::min(y1, y2), bottom = std::max(y1, y2);
  const long long w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return;
  const int H = buffer_.Height();
  if (bottom <= 0 || top >= H || right <= 0 || left >= buffer_.Width()) return;

  const double cx = left + w / 2.0, cy = top + h / 2.0, ra = w / 2.0, rb = h / 2.0;
  // Span of row y (empty when first > last).
  auto span = [&](long long y, long long& first, long long& last) {
    if (y < top || y >= bottom) {
      first = 1;
      last = 0;
      return;
    }
    const double t = (y + 0.5 - cy) / rb;
    const double half = ra * std::sqrt(std::max(0.0, 1.0 - t * t));
    first = static_cast<long long>(std::ceil(cx - half - 0.5));
    last = static_cast<long long>(std::floor(cx + half - 0.5));
    // Keep every row at least the middle pixel(s) wide so the shape stays
    // closed and symmetric.
    if (first > last) {
      first = static_cast<long long>(std::floor(cx - 0.5));
      last = static_cast<long long>(std::ceil(cx - 0.5));
    }
    first = std::max(first, left);
    last = std::min(last, right - 1);
  };

  const uint16_t brush = TBackBuffer::To565(Brush.Color), pen = TBackBuffer::To565(Pen.Color);
  const long long yFirst = std::max<long long>(top, 0), yLast = std::min<long long>(bottom - 1, H - 1);
  long long pf, pl, f, l, nf, nl;
  span(yFirst - 1, pf, pl);
  span(yFirst, f, l);
  for (long long y = yFirst; y <= yLast; ++y) {
    span(y + 1, nf, nl);
    if (Brush.Style == TBrushStyle::Solid) Span(buffer_, static_cast<int>(y), f, l, brush);
    if (pf > pl || nf > nl) {
      Span(buffer_, static_cast<int>(y), f, l, pen);   // top or bottom row: all rim
    } else {
      // Rim: pixels not covered by both neighbouring rows, and the ends.
      const long long innerFirst = std::max(pf, nf), innerLast = std::min(pl, nl);
      Span(buffer_, static_cast<int>(y), f, std::max(f, innerFirst - 1), pen);
      Span(buffer_, static_cast<int>(y), std::min(l, innerLast + 1), l, pen);
    }
    pf = f;
    pl = l;
    f = nf;
    l = nl;
  }
}

// Fills with the brush colour every pixel 4-connected to (x, y) that is not
// of the border colour. Runs of a row are filled at once; the rows above and
// below are scanned for new runs whose first pixels go on an explicit stack.
// A visited mask makes the result independent of the colours already present
// and bounds the stack by the number of pixels.
void TCanvas::FloodFill(int x, int y, TColor border) {
  const int W = buffer_.Width(), H = buffer_.Height();
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  uint16_t* px = buffer_.Pixels();
  const uint16_t edge = TBackBuffer::To565(border), fill = TBackBuffer::To565(Brush.Color);
  if (px[static_cast<size_t>(y) * W + x] == edge) return;

  visited_.assign(static_cast<size_t>(W) * H, 0);
  seeds_.clear();
  seeds_.push_back({x, y});
  auto open = [&](size_t i) { return !visited_[i] && px[i] != edge; };
  while (!seeds_.empty()) {
    auto [sx, sy] = seeds_.back();
    seeds_.pop_back();
    const size_t rowStart = static_cast<size_t>(sy) * W;
    if (!open(rowStart + sx)) continue;
    int l = sx, r = sx;
    while (l > 0 && open(rowStart + l - 1)) --l;
    while (r < W - 1 && open(rowStart + r + 1)) ++r;
    for (int i = l; i <= r; ++i) {
      visited_[rowStart + i] = 1;
      px[rowStart + i] = fill;
    }
    for (int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= H) continue;
      const size_t nStart = static_cast<size_t>(ny) * W;
      bool inRun = false;
      for (int i = l; i <= r; ++i) {
        const bool o = open(nStart + i);
        if (o && !inRun) seeds_.push_back({i, ny});
        inRun = o;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Text

void TCanvas::DrawText(const TRect* clip, int x, int y, const std::string& gbk) {
  const TextBitmap* text = text_->Get(Font, gbk);
  // Visible area: the clip rectangle (if any) within the buffer.
  long long cl = 0, ct = 0, cr = buffer_.Width(), cb = buffer_.Height();
  if (clip) {
    cl = std::max<long long>(cl, clip->Left);
    ct = std::max<long long>(ct, clip->Top);
    cr = std::min<long long>(cr, clip->Right);
    cb = std::min<long long>(cb, clip->Bottom);
  }
  if (cl >= cr || ct >= cb) return;

  const int tw = text ? text->Width : TextWidth(gbk), th = text ? text->Height : TextHeight(gbk);
  if (Brush.Style == TBrushStyle::Solid) {
    // A solid brush fills the whole clip rectangle of a clipped text and
    // the text cell of a plain one.
    long long fl = cl, ft = ct, fr = cr, fb = cb;
    if (!clip) {
      fl = std::max<long long>(cl, x);
      ft = std::max<long long>(ct, y);
      fr = std::min<long long>(cr, static_cast<long long>(x) + tw);
      fb = std::min<long long>(cb, static_cast<long long>(y) + th);
    }
    const uint16_t bc = TBackBuffer::To565(Brush.Color);
    for (long long yy = ft; yy < fb; ++yy) Span(buffer_, static_cast<int>(yy), fl, fr - 1, bc);
  }
  if (!text || text->Width == 0) return;

  const long long x0 = std::max<long long>(cl, x), x1 = std::min<long long>(cr, static_cast<long long>(x) + text->Width);
  const long long y0 = std::max<long long>(ct, y), y1 = std::min<long long>(cb, static_cast<long long>(y) + text->Height);
  if (x0 >= x1 || y0 >= y1) return;
  const uint16_t fc = TBackBuffer::To565(Font.Color);
  const int W = buffer_.Width();
  for (long long yy = y0; yy < y1; ++yy) {
    const uint8_t* ink = text->Ink.data() + (yy - y) * text->Width + (x0 - x);
    uint16_t* row = buffer_.Pixels() + yy * W;
    for (long long xx = x0; xx < x1; ++xx, ++ink) {
      if (*ink == 255) row[xx] = fc;
      else if (*ink) row[xx] = Blend565(row[xx], fc, *ink);
    }
  }
}

void TCanvas::TextOut(int x, int y, const std::string& gbk) {
  DrawText(nullptr, x, y, gbk);
  // The pen moves on to the end of the text, so a line or text can follow.
  MoveTo(x + TextWidth(gbk), y);
}

void TCanvas::TextRect(const TRect& clip, int x, int y, const std::string& gbk) {
  DrawText(&clip, x, y, gbk);
}

int TCanvas::TextWidth(const std::string& gbk) {
  const TextBitmap* text = text_->Get(Font, gbk);
  return text ? text->Width : TextCache::EstimateWidth(Font, gbk);
}

int TCanvas::TextHeight(const std::string& gbk) {
  const TextBitmap* text = text_->Get(Font, gbk);
  return text ? text->Height : TextCache::EstimateHeight(Font);
}
