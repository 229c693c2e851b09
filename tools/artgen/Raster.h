// A small float raster for drawing the program's pictures: premultiplied
// RGBA pixels, antialiased shapes from signed distances, gradients, and a
// seeded noise source. Everything is deterministic.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;   // straight (not premultiplied) colour, 0..1
};
inline Rgba Col(int r, int g, int b, float a = 1.0f) {
  return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}
Rgba Mix(const Rgba& x, const Rgba& y, float t);

// A raster drawn at a scale holds `scale` pixels per unit: the drawing
// calls (shapes, glows, masks, placing another raster) take unit
// coordinates, so that the same picture code draws a picture at 1x, 2x or
// 3x with its edges antialiased at the pixel size it is drawn at.
class Raster {
 public:
  Raster() = default;
  Raster(int w, int h);
  // w x h units at `scale` pixels per unit (each side rounded).
  Raster(int w, int h, float scale);
  int W() const { return w_; }   // pixels
  int H() const { return h_; }
  float Scale() const { return k_; }
  // Premultiplied pixel access.
  Rgba& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
  const Rgba& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  // Blends straight colour c with extra coverage cov over pixel (x, y).
  void Blend(int x, int y, const Rgba& c, float cov);
  // Blends another raster over this one, top-left at unit (ox, oy), scaled by alpha.
  void Draw(const Raster& src, int ox, int oy, float alpha = 1.0f);
  // The same with the top-left in pixels.
  void DrawPixels(const Raster& src, int px, int py, float alpha = 1.0f);
  void Clear();
  // ARGB8888 rows, straight alpha.
  std::vector<uint32_t> ToArgb() const;
  // Multiplies the alpha (and premultiplied colour) of every pixel by m(x, y),
  // (x, y) in units.
  void MaskBy(const std::function<float(float, float)>& m);

 private:
  int w_ = 0, h_ = 0;
  float k_ = 1;
  std::vector<Rgba> px_;
};

// Signed distances in units (negative inside); (x, y) are sample points.
float SdCircle(float x, float y, float cx, float cy, float r);
float SdEllipse(float x, float y, float cx, float cy, float a, float b, float angle);
float SdBox(float x, float y, float x0, float y0, float x1, float y1, float radius);
float SdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
struct Pt {
  float x, y;
};
float SdPolygon(float x, float y, const std::vector<Pt>& poly);

using DistFn = std::function<float(float, float)>;
using ColourFn = std::function<Rgba(float, float)>;
// Paints the inside of a shape with an antialiased edge (one-pixel ramp at
// the raster's own pixel size).
void Fill(Raster& img, const DistFn& sd, const ColourFn& colour);
void Fill(Raster& img, const DistFn& sd, const Rgba& colour);
// Paints colour with a free alpha field a(x, y) in 0..1 (glows, mists).
void Glow(Raster& img, const std::function<float(float, float)>& alpha, const ColourFn& colour);
// The same, limited to the box [x0, x1) x [y0, y1) in units.
void GlowBox(Raster& img, int x0, int y0, int x1, int y1,
             const std::function<float(float, float)>& alpha, const ColourFn& colour);
// Outline of a shape: band of the given width around the zero line.
void Stroke(Raster& img, const DistFn& sd, float width, const Rgba& colour);

// Deterministic pseudo-random numbers (SplitMix64).
class Prng {
 public:
  explicit Prng(uint64_t seed) : s_(seed) {}
  uint64_t Next();
  float Uniform();                        // [0, 1)
  float Range(float a, float b) { return a + (b - a) * Uniform(); }
  float Gauss();                          // mean 0, deviation 1

 private:
  uint64_t s_;
};

// Smooth lattice noise in about [-1, 1] and its fractal sum.
float Noise2(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);

float Clamp01(float v);
float SmoothStep(float e0, float e1, float x);
constexpr float kPi = 3.14159265358979f;
