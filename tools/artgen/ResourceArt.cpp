// The program's own resources: the four view cursors, the splash picture
// and the about box picture.
#include <cmath>

#include "Art.h"
#include "Text.h"

namespace {

// A 32x32 cursor: a bold white arrow with a dark outline, pointing in
// direction (dx, dy); the hot spot is the centre (16, 16).
Raster Cursor(float dx, float dy) {
  Raster r(32, 32);
  const float c = 16;
  const float px = -dy, py = dx;
  auto P = [&](float along, float side) { return Pt{c + dx * along + px * side, c + dy * along + py * side}; };
  const std::vector<Pt> arrow = {P(13, 0),  P(2, 10), P(2, 4.5f), P(-13, 4.5f),
                                 P(-13, -4.5f), P(2, -4.5f), P(2, -10)};
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, arrow) - 1.6f; }, Col(0, 0, 0, 0.9f));
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, arrow); },
       [&](float x, float y) {
         const float t = Clamp01(((x - c) * dx + (y - c) * dy) / 26 + 0.5f);
         return Mix(Col(200, 220, 255), Col(255, 255, 255), t);
       });
  // Hot-spot dot.
  Fill(r, [&](float x, float y) { return SdCircle(x, y, c, c, 1.6f); }, Col(30, 60, 140));
  return r;
}

// Night sky: deep blue gradient, a faint Milky Way band and seeded stars.
void NightSky(Raster& r, uint64_t seed, float horizon, int stars) {
  Fill(r, [](float, float) { return -1.0f; }, [&](float, float y) {
    const float t = Clamp01(y / horizon);
    return Mix(Col(2, 4, 18), Col(22, 36, 78), t * t);
  });
  Glow(
      r,
      [&](float x, float y) {
        const float d = (y - (0.75f * horizon - 0.45f * x)) / (0.18f * horizon);
        return Clamp01(0.22f * std::exp(-d * d) * (0.6f + 0.8f * Fbm(x / 18.0f, y / 18.0f, 7, 5)));
      },
      [](float, float) { return Col(190, 200, 235); });
  Prng rng(seed);
  for (int i = 0; i < stars; ++i) {
    const float x = rng.Range(0, r.W()), y = rng.Range(0, horizon);
    const float m = rng.Uniform();
    const float b = 0.25f + 0.75f * m * m * m;
    const float s = 0.35f + 1.1f * b;
    const Rgba c = rng.Uniform() < 0.2f ? Col(255, 225, 190) : Col(220, 230, 255);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    GlowBox(r, ix - 6, iy - 6, ix + 7, iy + 7, [&](float px, float py) {
      const float d2 = (px - x) * (px - x) + (py - y) * (py - y);
      return Clamp01(b * 1.3f * std::exp(-d2 / (s * s)));
    }, [&](float, float) { return c; });
  }
}

// Hills and a few trees in silhouette along the bottom.
void Landscape(Raster& r, float horizon, uint32_t seed) {
  Fill(r, [&](float x, float y) {
    const float edge = horizon - 10 - 14 * (0.5f + Fbm(x / 90.0f, 0.5f, seed, 3));
    return edge - y;
  }, Col(12, 20, 34));
  Fill(r, [&](float x, float y) {
    const float edge = horizon + 4 - 8 * (0.5f + Fbm(x / 50.0f, 2.5f, seed + 1, 3));
    return edge - y;
  }, [&](float, float y) { return Mix(Col(8, 16, 18), Col(3, 6, 8), Clamp01((y - horizon) / 40)); });
}

// A small refractor on a tripod, in silhouette with a thin rim light.
void Telescope(Raster& r, float fx, float fy, float scale, const Rgba& body) {
  auto seg = [&](float ax, float ay, float bx, float by, float w) {
    Fill(r, [&](float x, float y) {
      return SdSegment(x, y, fx + ax * scale, fy + ay * scale, fx + bx * scale, fy + by * scale, w * scale);
    }, body);
  };
  seg(0, -30, -14, 0, 1.3f);
  seg(0, -30, 14, 0, 1.3f);
  seg(0, -30, 2, 0, 1.3f);
  const std::vector<Pt> tube = {{fx - 24 * scale, fy - 36 * scale}, {fx + 20 * scale, fy - 54 * scale},
                                {fx + 22 * scale, fy - 48 * scale}, {fx - 22 * scale, fy - 30 * scale}};
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, tube); }, body);
  Fill(r, [&](float x, float y) { return SdCircle(x, y, fx, fy - 33 * scale, 3 * scale); }, body);
}

Raster Logo(const ArtFonts& fonts) {
  Raster r(420, 254);
  const float horizon = 210;
  NightSky(r, 2026, horizon, 260);
  // A constellation figure (the Big Dipper shape, drawn freely) with lines.
  const Pt dipper[7] = {{300, 40}, {332, 48}, {352, 70}, {378, 80}, {384, 112}, {352, 118}, {348, 84}};
  const int links[7][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 3}};
  for (const auto& l : links)
    Fill(r, [&](float x, float y) {
      return SdSegment(x, y, dipper[l[0]].x, dipper[l[0]].y, dipper[l[1]].x, dipper[l[1]].y, 0.5f);
    }, Col(120, 170, 200, 0.55f));
  for (const Pt& p : dipper)
    Glow(r, [&](float x, float y) {
      const float d = std::hypot(x - p.x, y - p.y);
      return Clamp01(std::exp(-d * d / 3.0f) + 0.35f * std::exp(-d / 2.5f));
    }, [](float, float) { return Col(235, 240, 255); });
  // Crescent Moon low in the west.
  Fill(r, [](float x, float y) {
    return std::max(SdCircle(x, y, 60, 150, 13), -SdCircle(x, y, 66, 146, 12));
  }, Col(255, 240, 200));
  Glow(r, [](float x, float y) { return 0.25f * std::exp(-std::fabs(std::hypot(x - 60, y - 150) - 13) / 5); },
       [](float, float) { return Col(255, 230, 180); });
  Landscape(r, horizon, 404);
  Telescope(r, 330, 232, 0.9f, Col(4, 8, 12));
  const TextFont title(fonts.LatinBold, 46);
  const TextFont sub(fonts.Ming, 26, true);
  DrawTextCentred(r, title, "Skyloom", 180, 78, Col(255, 236, 170), Col(0, 0, 0, 0.7f));
  DrawTextCentred(r, sub, "天文节目", 180, 128, Col(170, 215, 255), Col(0, 0, 0, 0.7f));
  Fill(r, [](float x, float y) { return SdBox(x, y, 90, 107, 270, 108, 0.3f); }, Col(170, 190, 230, 0.6f));
  // Frame line.
  Stroke(r, [](float x, float y) { return SdBox(x, y, 1, 1, 419, 253, 4); }, 1.0f, Col(90, 110, 170));
  return r;
}

Raster AboutPic() {
  Raster r(121, 166);
  const float horizon = 138;
  NightSky(r, 77, horizon, 70);
  // Ringed planet high up.
  Fill(r, [](float x, float y) { return SdCircle(x, y, 78, 40, 12); },
       [](float x, float y) { return Mix(Col(250, 225, 170), Col(170, 130, 80), Clamp01((x - 66 + y - 28) / 30)); });
  Fill(r, [](float x, float y) {
    const float u = (x - 78) / 24.0f, v = (y - 40) / 6.0f;
    const float d = std::sqrt(u * u + v * v);
    const float band = std::fabs(d - 0.85f) * 24 - 2.2f;
    const bool behind = y < 40 && std::hypot(x - 78, y - 40) < 12;
    return behind ? 1.0f : band;
  }, Col(230, 210, 160));
  Landscape(r, horizon, 121);
  Telescope(r, 52, 158, 1.0f, Col(6, 10, 14));
  Stroke(r, [](float x, float y) { return SdBox(x, y, 0.5f, 0.5f, 120.5f, 165.5f, 3); }, 1.0f,
         Col(90, 110, 170));
  return r;
}

}  // namespace

void AddResourceImages(Library& lib, const ArtFonts& fonts) {
  lib.push_back(MakeImage("UpArrow", {Cursor(0, -1)}));
  lib.push_back(MakeImage("DownArrow", {Cursor(0, 1)}));
  lib.push_back(MakeImage("LeftArrow", {Cursor(-1, 0)}));
  lib.push_back(MakeImage("RightArrow", {Cursor(1, 0)}));
  lib.push_back(MakeImage("Logo", {Logo(fonts)}));
  lib.push_back(MakeImage("AboutPic", {AboutPic()}));
}
