#include "Raster.h"

#include <algorithm>
#include <cmath>

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float SmoothStep(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

Rgba Mix(const Rgba& x, const Rgba& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}

Raster::Raster(int w, int h) : w_(w), h_(h), px_(static_cast<size_t>(w) * h) {}

Raster::Raster(int w, int h, float scale)
    : w_(static_cast<int>(std::lround(w * scale))),
      h_(static_cast<int>(std::lround(h * scale))),
      k_(scale),
      px_(static_cast<size_t>(w_) * h_) {}

void Raster::Clear() { std::fill(px_.begin(), px_.end(), Rgba{}); }

void Raster::Blend(int x, int y, const Rgba& c, float cov) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  const float a = Clamp01(c.a * cov);
  if (a <= 0) return;
  Rgba& d = At(x, y);
  d.r = c.r * a + d.r * (1 - a);
  d.g = c.g * a + d.g * (1 - a);
  d.b = c.b * a + d.b * (1 - a);
  d.a = a + d.a * (1 - a);
}

void Raster::Draw(const Raster& src, int ox, int oy, float alpha) {
  DrawPixels(src, static_cast<int>(std::lround(ox * k_)), static_cast<int>(std::lround(oy * k_)),
             alpha);
}

void Raster::DrawPixels(const Raster& src, int ox, int oy, float alpha) {
  for (int y = 0; y < src.H(); ++y)
    for (int x = 0; x < src.W(); ++x) {
      const int dx = x + ox, dy = y + oy;
      if (dx < 0 || dy < 0 || dx >= w_ || dy >= h_) continue;
      const Rgba& s = src.At(x, y);
      const float a = s.a * alpha;
      if (a <= 0) continue;
      Rgba& d = At(dx, dy);
      d.r = s.r * alpha + d.r * (1 - a);
      d.g = s.g * alpha + d.g * (1 - a);
      d.b = s.b * alpha + d.b * (1 - a);
      d.a = a + d.a * (1 - a);
    }
}

void Raster::MaskBy(const std::function<float(float, float)>& m) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      const float k = Clamp01(m((x + 0.5f) / k_, (y + 0.5f) / k_));
      Rgba& d = At(x, y);
      d.r *= k;
      d.g *= k;
      d.b *= k;
      d.a *= k;
    }
}

std::vector<uint32_t> Raster::ToArgb() const {
  std::vector<uint32_t> out(px_.size());
  for (size_t i = 0; i < px_.size(); ++i) {
    const Rgba& p = px_[i];
    const int a = static_cast<int>(std::lround(Clamp01(p.a) * 255));
    uint32_t v = 0;
    if (a > 0) {
      const float inv = 1.0f / p.a;
      const auto c = [&](float u) {
        return static_cast<uint32_t>(std::lround(Clamp01(u * inv) * 255));
      };
      v = (static_cast<uint32_t>(a) << 24) | (c(p.r) << 16) | (c(p.g) << 8) | c(p.b);
    }
    out[i] = v;
  }
  return out;
}

float SdCircle(float x, float y, float cx, float cy, float r) {
  return std::hypot(x - cx, y - cy) - r;
}

float SdEllipse(float x, float y, float cx, float cy, float a, float b, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  const float dx = x - cx, dy = y - cy;
  const float u = dx * c + dy * s, v = -dx * s + dy * c;
  const float k = std::hypot(u / a, v / b);
  // First-order distance: value over gradient length.
  const float gu = u / (a * a), gv = v / (b * b);
  const float g = std::hypot(gu, gv);
  if (k < 1e-6f) return -std::min(a, b);
  return (k - 1) * k / std::max(g, 1e-6f);
}

float SdBox(float x, float y, float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth) {
  const float px = x - ax, py = y - ay, vx = bx - ax, vy = by - ay;
  const float len2 = vx * vx + vy * vy;
  const float t = len2 > 0 ? Clamp01((px * vx + py * vy) / len2) : 0;
  return std::hypot(px - vx * t, py - vy * t) - halfWidth;
}

float SdPolygon(float x, float y, const std::vector<Pt>& v) {
  const size_t n = v.size();
  if (n < 3) return 1e9f;
  float d = (x - v[0].x) * (x - v[0].x) + (y - v[0].y) * (y - v[0].y);
  float s = 1;
  for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
    const float wx = x - v[i].x, wy = y - v[i].y;
    const float t = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
    const float bx = wx - ex * t, by = wy - ey * t;
    d = std::min(d, bx * bx + by * by);
    const bool c1 = y >= v[i].y, c2 = y < v[j].y, c3 = ex * wy > ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}

void Fill(Raster& img, const DistFn& sd, const ColourFn& colour) {
  const float k = img.Scale();
  for (int y = 0; y < img.H(); ++y)
    for (int x = 0; x < img.W(); ++x) {
      const float px = (x + 0.5f) / k, py = (y + 0.5f) / k;
      const float cov = Clamp01(0.5f - sd(px, py) * k);
      if (cov > 0) img.Blend(x, y, colour(px, py), cov);
    }
}

void Fill(Raster& img, const DistFn& sd, const Rgba& colour) {
  Fill(img, sd, [&](float, float) { return colour; });
}

void Glow(Raster& img, const std::function<float(float, float)>& alpha, const ColourFn& colour) {
  GlowBox(img, 0, 0, img.W(), img.H(), alpha, colour);
}

void GlowBox(Raster& img, int x0, int y0, int x1, int y1,
             const std::function<float(float, float)>& alpha, const ColourFn& colour) {
  const float k = img.Scale();
  const auto pixel = [k](int u) { return static_cast<int>(std::lround(u * k)); };
  for (int y = std::max(0, pixel(y0)); y < std::min(img.H(), pixel(y1)); ++y)
    for (int x = std::max(0, pixel(x0)); x < std::min(img.W(), pixel(x1)); ++x) {
      const float px = (x + 0.5f) / k, py = (y + 0.5f) / k;
      const float a = alpha(px, py);
      if (a > 0) img.Blend(x, y, colour(px, py), a);
    }
}

void Stroke(Raster& img, const DistFn& sd, float width, const Rgba& colour) {
  Fill(img, [&](float x, float y) { return std::fabs(sd(x, y)) - width / 2; }, colour);
}

uint64_t Prng::Next() {
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Prng::Uniform() { return static_cast<float>(Next() >> 40) / 16777216.0f; }

float Prng::Gauss() {
  // Sum of uniforms: close enough to normal for scattering stars.
  float s = 0;
  for (int i = 0; i < 6; ++i) s += Uniform();
  return (s - 3.0f) * 1.41421356f;
}

namespace {
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 8388608.0f - 1.0f;
}
}  // namespace

float Noise2(float x, float y, uint32_t seed) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const float fx = x - ix, fy = y - iy;
  const float ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
  const float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  const float c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
  return (a + (b - a) * ux) + ((c + (d - c) * ux) - (a + (b - a) * ux)) * uy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, f = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise2(x * f, y * f, seed + 17u * i);
    f *= 2.03f;
    amp *= 0.5f;
  }
  return sum;
}
