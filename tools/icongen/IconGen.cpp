// icongen: draws the program's icon, a night sky seen through a round
// dome window (a crescent Moon, a few stars joined by constellation lines,
// the dark ground below the horizon), as PNG pictures at the sizes desktop
// menus use and as a scalable SVG drawing of the same shapes.
//
//   icongen OUTDIR  ->  OUTDIR/hicolor/NxN/apps/skyloom.png, .../scalable/apps/skyloom.svg
//
// The shapes are given on a 256-unit square; each pixel of a picture is the
// mean of 8x8 samples of them, so small sizes stay smooth.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FileIo.h"
#include "Png.h"

namespace {

struct TRgba {
  double R, G, B, A;  // 0..1, not premultiplied
};

// The shapes, in units of a 256 square (y downwards).
constexpr double Cx = 128, Cy = 128;
constexpr double RingRadius = 124, SkyRadius = 112;
constexpr TRgba Ring{0.85, 0.70, 0.36, 1};
constexpr TRgba SkyTop{0.03, 0.06, 0.17, 1}, SkyLow{0.13, 0.25, 0.47, 1};
constexpr double SkyTopY = 16, SkyLowY = 200;
// The ground: inside the sky disc and inside a large circle whose top is
// the horizon.
constexpr double GroundCx = 128, GroundCy = 572, GroundRadius = 392;
constexpr TRgba Ground{0.07, 0.17, 0.10, 1};
// The crescent: the Moon's disc less a disc moved towards the upper right.
constexpr double MoonX = 76, MoonY = 84, MoonRadius = 24;
constexpr double ShadowX = 88, ShadowY = 74, ShadowRadius = 21;
constexpr TRgba Moon{0.97, 0.92, 0.72, 1};
struct TStar {
  double X, Y, Radius;
};
constexpr std::array<TStar, 6> Stars{{{120, 62, 5.5},
                                      {158, 78, 4.5},
                                      {190, 104, 6.5},
                                      {172, 138, 4.5},
                                      {138, 120, 4},
                                      {100, 150, 3.5}}};
// Lines between stars (indices), as a star chart draws them.
constexpr std::array<std::array<int, 2>, 5> Lines{{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 1}}};
constexpr double LineWidth = 3;
constexpr TRgba LineColour{0.55, 0.72, 0.95, 0.75};
constexpr TRgba StarColour{1, 1, 1, 1};

double Sq(double v) { return v * v; }
bool InCircle(double x, double y, double cx, double cy, double r) {
  return Sq(x - cx) + Sq(y - cy) <= r * r;
}
double SegmentDistance(double x, double y, const TStar& a, const TStar& b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double t = std::clamp(((x - a.X) * dx + (y - a.Y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::sqrt(Sq(x - a.X - t * dx) + Sq(y - a.Y - t * dy));
}
void Over(TRgba& dst, const TRgba& src) {
  const double a = src.A + dst.A * (1 - src.A);
  if (a <= 0) return;
  dst.R = (src.R * src.A + dst.R * dst.A * (1 - src.A)) / a;
  dst.G = (src.G * src.A + dst.G * dst.A * (1 - src.A)) / a;
  dst.B = (src.B * src.A + dst.B * dst.A * (1 - src.A)) / a;
  dst.A = a;
}

// The colour of one point of the drawing.
TRgba Sample(double x, double y) {
  TRgba c{0, 0, 0, 0};
  if (!InCircle(x, y, Cx, Cy, RingRadius)) return c;
  Over(c, Ring);
  if (!InCircle(x, y, Cx, Cy, SkyRadius)) return c;
  const double t = std::clamp((y - SkyTopY) / (SkyLowY - SkyTopY), 0.0, 1.0);
  Over(c, {SkyTop.R + t * (SkyLow.R - SkyTop.R), SkyTop.G + t * (SkyLow.G - SkyTop.G),
           SkyTop.B + t * (SkyLow.B - SkyTop.B), 1});
  for (const auto& l : Lines)
    if (SegmentDistance(x, y, Stars[l[0]], Stars[l[1]]) <= LineWidth / 2) Over(c, LineColour);
  for (const TStar& s : Stars)
    if (InCircle(x, y, s.X, s.Y, s.Radius)) Over(c, StarColour);
  if (InCircle(x, y, MoonX, MoonY, MoonRadius) && !InCircle(x, y, ShadowX, ShadowY, ShadowRadius))
    Over(c, Moon);
  if (InCircle(x, y, GroundCx, GroundCy, GroundRadius)) Over(c, Ground);
  return c;
}

bool WritePng(int size, const std::string& path, std::string& error) {
  constexpr int N = 8;  // samples per pixel side
  const double unit = 256.0 / size;
  std::vector<uint32_t> argb(static_cast<size_t>(size) * size);
  const auto byte = [](double v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
      for (int j = 0; j < N; ++j)
        for (int i = 0; i < N; ++i) {
          const TRgba c = Sample((px + (i + 0.5) / N) * unit, (py + (j + 0.5) / N) * unit);
          r += c.R * c.A;
          g += c.G * c.A;
          b += c.B * c.A;
          a += c.A;
        }
      const uint32_t pixel = a > 0 ? byte(r / a) << 16 | byte(g / a) << 8 | byte(b / a) : 0;
      argb[static_cast<size_t>(py) * size + px] = byte(a / (N * N)) << 24 | pixel;
    }
  return SavePngWithAlpha(argb.data(), size, size, path, error);
}

std::string Hex(const TRgba& c) {
  char buf[8];
  const auto byte = [](double v) { return static_cast<int>(std::lround(v * 255)); };
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", byte(c.R), byte(c.G), byte(c.B));
  return buf;
}

std::string Svg() {
  std::string s;
  char buf[256];
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  s += "  <defs>\n";
  std::snprintf(buf, sizeof buf,
                "    <linearGradient id=\"sky\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%g\" x2=\"0\" y2=\"%g\">\n",
                SkyTopY, SkyLowY);
  s += buf;
  s += "      <stop offset=\"0\" stop-color=\"" + Hex(SkyTop) + "\"/>\n";
  s += "      <stop offset=\"1\" stop-color=\"" + Hex(SkyLow) + "\"/>\n";
  s += "    </linearGradient>\n";
  std::snprintf(buf, sizeof buf, "    <clipPath id=\"dome\"><circle cx=\"%g\" cy=\"%g\" r=\"%g\"/></clipPath>\n", Cx,
                Cy, SkyRadius);
  s += buf;
  std::snprintf(buf, sizeof buf,
                "    <mask id=\"crescent\"><circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"#fff\"/>"
                "<circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"#000\"/></mask>\n",
                MoonX, MoonY, MoonRadius, ShadowX, ShadowY, ShadowRadius);
  s += buf;
  s += "  </defs>\n";
  std::snprintf(buf, sizeof buf, "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\"/>\n", Cx, Cy, RingRadius,
                Hex(Ring).c_str());
  s += buf;
  s += "  <g clip-path=\"url(#dome)\">\n";
  std::snprintf(buf, sizeof buf, "    <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"url(#sky)\"/>\n", Cx, Cy, SkyRadius);
  s += buf;
  for (const auto& l : Lines) {
    const TStar &a = Stars[l[0]], &b = Stars[l[1]];
    std::snprintf(buf, sizeof buf,
                  "    <line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke=\"%s\" stroke-opacity=\"%g\" "
                  "stroke-width=\"%g\" stroke-linecap=\"round\"/>\n",
                  a.X, a.Y, b.X, b.Y, Hex(LineColour).c_str(), LineColour.A, LineWidth);
    s += buf;
  }
  for (const TStar& st : Stars) {
    std::snprintf(buf, sizeof buf, "    <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\"/>\n", st.X, st.Y, st.Radius,
                  Hex(StarColour).c_str());
    s += buf;
  }
  std::snprintf(buf, sizeof buf, "    <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\" mask=\"url(#crescent)\"/>\n",
                MoonX, MoonY, MoonRadius, Hex(Moon).c_str());
  s += buf;
  std::snprintf(buf, sizeof buf, "    <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\"/>\n", GroundCx, GroundCy,
                GroundRadius, Hex(Ground).c_str());
  s += buf;
  s += "  </g>\n</svg>\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icongen OUTDIR\n");
    return 2;
  }
  const std::filesystem::path out = std::filesystem::path(argv[1]) / "hicolor";
  std::string error;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string side = std::to_string(size);
    const std::filesystem::path dir = out / (side + "x" + side) / "apps";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "skyloom.png").string();
    if (!WritePng(size, path, error)) {
      std::fprintf(stderr, "icongen: %s\n", error.c_str());
      return 1;
    }
  }
  const std::filesystem::path dir = out / "scalable" / "apps";
  std::filesystem::create_directories(dir);
  const std::string svg = Svg();
  const std::string path = (dir / "skyloom.svg").string();
  if (!WriteFileAtomic(path, svg, &error)) {
    std::fprintf(stderr, "icongen: %s: cannot write (%s)\n", path.c_str(), error.c_str());
    return 1;
  }
  return 0;
}
