// Sky pictures: stars, planets, deep-sky mist, the Sun, the ground, trees and
// direction boards.
#include <cmath>

#include "Art.h"
#include "ImageNames.h"
#include "Text.h"

namespace {

constexpr int StarTintClassesArt = 5;

// Star glow centred on the pixel (10, 10): a small hard core and a soft halo,
// white in the middle turning blue-white outwards.
Raster StarFrame(int f, float k, Rgba rim = Col(170, 200, 255), Rgba centre = Col(255, 255, 255)) {
  static const float core[7] = {1.9f, 1.6f, 1.3f, 1.05f, 0.85f, 0.7f, 0.6f};
  static const float sigma[7] = {3.4f, 2.8f, 2.3f, 1.9f, 1.5f, 1.2f, 0.95f};
  static const float halo[7] = {0.85f, 0.72f, 0.6f, 0.5f, 0.42f, 0.34f, 0.26f};
  static const float coreAlpha[7] = {1.0f, 1.0f, 1.0f, 0.96f, 0.9f, 0.8f, 0.7f};
  const Rgba coreColour = centre;
  Raster r(20, 20, k);
  const float cx = 10.5f, cy = 10.5f;
  Glow(
      r,
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        float a = halo[f] * std::exp(-d * d / (2 * sigma[f] * sigma[f]));
        // Faint cross spikes on the two brightest frames.
        if (f <= 1) {
          const float dx = std::fabs(x - cx), dy = std::fabs(y - cy);
          const float s = (f == 0 ? 0.5f : 0.3f);
          a += s * std::exp(-dy * dy * 2.0f) * std::exp(-dx / 3.0f) +
               s * std::exp(-dx * dx * 2.0f) * std::exp(-dy / 3.0f);
        }
        a = std::max(a, coreAlpha[f] * Clamp01(core[f] + 0.5f - d));
        return Clamp01(a) * (d > 9.5f ? 0.0f : 1.0f);
      },
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        return Mix(coreColour, rim, Clamp01((d - core[f]) / 3.0f));
      });
  return r;
}

// A planet: a small warm disc with a short glow, centred on the pixel (5, 5).
Raster PlanetFrame(int f, float k) {
  const float radius = 2.9f - 0.25f * f;
  const float glow = 0.75f - 0.07f * f;
  Raster r(10, 10, k);
  const float cx = 5.5f, cy = 5.5f;
  Glow(
      r,
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        const float a = glow * std::exp(-std::max(0.0f, d - radius) * 1.3f);
        return std::max(a * (d < 4.9f ? 1.0f : 0.0f), Clamp01(radius + 0.5f - d));
      },
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        return Mix(Col(255, 250, 225), Col(255, 215, 150), Clamp01(d / (radius + 1.5f)));
      });
  return r;
}

Raster Cloud(float k) {
  Raster r(32, 32, k);
  Glow(
      r,
      [](float x, float y) {
        const float dx = (x - 16) / 14.0f, dy = (y - 16) / 10.5f;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float n = 0.75f + 0.45f * Fbm(x / 7.0f, y / 7.0f, 11, 3);
        return Clamp01((1 - SmoothStep(0.15f, 1.0f, d)) * n * 0.9f);
      },
      [](float x, float y) {
        const float d = std::hypot(x - 16, y - 16) / 16.0f;
        return Mix(Col(235, 240, 255), Col(150, 175, 235), Clamp01(d));
      });
  return r;
}

// The Sun on the pixel (50, 50): a bright disc with limb darkening inside a
// soft glow with faint rays.
Raster SunImage(float k) {
  Raster r(100, 100, k);
  const float cx = 50.5f, cy = 50.5f, rad = 12.0f;
  Glow(
      r,
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        if (d > 49.5f) return 0.0f;
        const float ang = std::atan2(y - cy, x - cx);
        const float rays = 0.75f + 0.25f * std::cos(ang * 12) * std::cos(ang * 5 + 1.0f);
        const float outer = 0.55f * std::exp(-(d - rad) / 9.0f) * rays;
        const float fade = 1 - SmoothStep(38.0f, 49.5f, d);
        return Clamp01(outer * fade);
      },
      [&](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        return Mix(Col(255, 235, 150), Col(255, 160, 60), Clamp01((d - rad) / 30.0f));
      });
  Fill(
      r, [&](float x, float y) { return SdCircle(x, y, cx, cy, rad); },
      [&](float x, float y) {
        const float t = Clamp01(std::hypot(x - cx, y - cy) / rad);
        const float limb = 1 - 0.35f * (1 - std::sqrt(std::max(0.0f, 1 - t * t)));
        return Mix(Col(255, 255, 240), Col(255, 200, 90), 1 - limb);
      });
  return r;
}

// Landscape seen from the horizon row (y = 0) down: a hazy far field with
// low hill bands, then grass darkening towards the viewer.
Raster GroundImage() {
  const int w = 800, h = 600;
  Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float fx = x + 0.5f, fy = y + 0.5f;
      // Distance cue: 0 at the horizon, 1 far below.
      const float t = Clamp01(fy / 420.0f);
      Rgba c = Mix(Col(24, 40, 38), Col(14, 32, 18), SmoothStep(0.0f, 0.2f, t));
      c = Mix(c, Col(4, 10, 5), SmoothStep(0.2f, 1.0f, t));
      // Patches of darker and lighter meadow.
      const float patch = Fbm(fx / 70.0f, fy / (12.0f + 60.0f * t), 9, 3);
      c = Mix(c, Col(6, 16, 9), Clamp01(patch * 1.4f) * 0.6f);
      // Far hills: darker bands whose upper edge waves within the first rows.
      for (int k = 0; k < 3; ++k) {
        const float base = 4.0f + 9.0f * k;
        const float edge = base + 5.0f * Fbm(fx / (160.0f - 40 * k), k * 3.1f, 71 + k, 3);
        const float a = SmoothStep(edge - 1.0f, edge + 1.0f, fy) * (0.35f - 0.08f * k);
        c = Mix(c, Col(10 + 4 * k, 22 + 4 * k, 20), a * (1 - SmoothStep(30.0f, 60.0f, fy)));
      }
      // Grass texture: stretched noise, finer near the horizon.
      const float sx = 6.0f + 40.0f * t, sy = 1.5f + 10.0f * t;
      const float n = Fbm(fx / sx, fy / sy, 5, 4);
      const float m = 1.0f + n * (0.15f + 0.25f * t);
      c.r *= m;
      c.g *= m;
      c.b *= m;
      c.a = 1;
      r.Blend(x, y, c, 1);
    }
  // Faint haze line right at the horizon.
  Glow(
      r, [](float, float y) { return 0.3f * std::exp(-y / 2.0f); },
      [](float, float) { return Col(60, 80, 96); });
  return r;
}

// Tree silhouettes, foot at (23, 23).
Raster TreeFrame(int f, float k) {
  Raster r(46, 46, k);
  const Rgba leaf = Col(18, 42, 32), leafLight = Col(58, 98, 78), trunk = Col(40, 32, 24);
  Prng rng(1000 + f);
  const float fx = 23.0f, fy = 23.0f;
  auto trunkLine = [&](float top, float half) {
    Fill(r, [&](float x, float y) { return SdBox(x, y, fx - half, top, fx + half, fy + 0.5f, 0.4f); },
         trunk);
  };
  // A leafy crown from overlapping blobs; the upper-left edge is lit faintly.
  auto crown = [&](float cx, float cy, float rx, float ry, int blobs) {
    struct B {
      float x, y, r;
    };
    std::vector<B> bs;
    for (int i = 0; i < blobs; ++i) {
      const float a = rng.Range(0, 2 * kPi), d = rng.Range(0.0f, 0.6f);
      const float br = rng.Range(0.45f, 0.65f) * std::min(rx, ry);
      bs.push_back({cx + std::cos(a) * d * rx, cy + std::sin(a) * d * ry, br});
    }
    bs.push_back({cx, cy, std::min(rx, ry) * 0.7f});
    auto sd = [bs](float x, float y) {
      float d = 1e9f;
      for (const B& b : bs) d = std::min(d, SdCircle(x, y, b.x, b.y, b.r));
      return d;
    };
    Fill(r, sd, [&](float x, float y) {
      const float lit = Clamp01(((cx - x) * 0.5f + (cy - y)) / (rx + ry));
      return Mix(leaf, leafLight, lit * 0.8f);
    });
  };
  auto conifer = [&](float cx, float height, float width, int tiers) {
    trunkLine(fy - 4, 0.9f);
    for (int i = 0; i < tiers; ++i) {
      const float top = fy - height + i * height / (tiers + 1.5f);
      const float bottom = std::min(fy - 2.0f, top + height * 0.45f);
      const float half = width / 2 * (0.45f + 0.55f * (i + 1) / tiers);
      std::vector<Pt> tri = {{cx, top}, {cx + half, bottom}, {cx - half, bottom}};
      Fill(r, [tri](float x, float y) { return SdPolygon(x, y, tri); },
           [&](float x, float) { return Mix(leaf, leafLight, Clamp01((cx - x) / half) * 0.5f); });
    }
  };
  switch (f) {
    case 0: trunkLine(12, 1.4f); crown(23, 10, 11, 9, 8); break;              // broad oak
    case 1: conifer(23, 23, 18, 4); break;                                    // spruce
    case 2: trunkLine(3, 1.1f); crown(23, 6, 5, 6.5f, 6); crown(23, 13, 6, 6, 5); break;   // poplar
    case 3: crown(23, 18, 11, 5.5f, 7); break;                                // low bush
    case 4: trunkLine(13, 1.5f); crown(23, 9, 16, 8, 10); break;              // wide tree
    case 5: conifer(19, 22, 15, 4); conifer(29, 16, 12, 3); break;            // two firs
    case 6: crown(16, 19, 7, 4.5f, 5); crown(29, 18, 8, 5.5f, 5); break;      // two bushes
    case 7: trunkLine(10, 1.2f); crown(19, 9, 9, 8, 7); crown(28, 11, 8, 7, 6); break;
    case 8: conifer(23, 16, 13, 3); break;                                    // young pine
    case 9: trunkLine(5, 1.2f); crown(23, 7, 7, 6, 6); crown(23, 14, 9, 5, 6); break;
    default: trunkLine(14, 1.2f); crown(25, 10, 8, 7, 7); crown(14, 19, 5, 4, 4); break;
  }
  // A thin dark ground shadow below the foot.
  Glow(
      r,
      [&](float x, float y) {
        const float dx = (x - fx) / 10.0f, dy = (y - fy - 1) / 1.6f;
        return y > fy ? 0.45f * Clamp01(1 - dx * dx - dy * dy) : 0.0f;
      },
      [](float, float) { return Col(0, 0, 0); });
  return r;
}

// Direction board: a wooden sign on a post whose foot is at the bottom edge.
// Chinese captions have one or two characters, English ones one or two letters.
Raster BoardFrame(int f, const TextFont& font, bool english) {
  Raster r(46, 46, font.Scale());
  const std::string text = english ? ImageNames::BoardCaptionsEn[f] : ImageNames::BoardCaptions[f];
  const bool two = english ? text.size() > 1 : text.size() > 3;
  const float halfW = two ? 20.0f : 12.0f;
  const float top = 3.0f, bottom = 22.0f;
  // Post.
  Fill(r, [](float x, float y) { return SdBox(x, y, 21.5f, 18.0f, 24.5f, 46.0f, 0.5f); },
       [](float x, float) { return Mix(Col(92, 64, 40), Col(56, 38, 24), Clamp01((x - 21.5f) / 3)); });
  // Board with a darker rim.
  Fill(r, [&](float x, float y) { return SdBox(x, y, 23 - halfW, top, 23 + halfW, bottom, 2.5f); },
       Col(70, 46, 28));
  Fill(r,
       [&](float x, float y) {
         return SdBox(x, y, 23 - halfW + 1.3f, top + 1.3f, 23 + halfW - 1.3f, bottom - 1.3f, 1.5f);
       },
       [&](float x, float y) {
         const float grain = 0.06f * std::sin(y * 2.1f + 0.7f * std::sin(x * 0.4f));
         Rgba c = Mix(Col(232, 204, 150), Col(200, 160, 104), Clamp01((y - top) / (bottom - top)));
         c.r += grain;
         c.g += grain;
         c.b += grain;
         return c;
       });
  DrawTextCentred(r, font, text, 23, (top + bottom) / 2 + 0.5f, Col(60, 24, 8));
  return r;
}

}  // namespace

void AddSkyImages(Library& lib, const ArtFonts& fonts, float k) {
  std::vector<Raster> stars, tinted, planets, trees, boards, boardsEn;
  const TextFont boardFont(fonts.Ming, 15, true, k);
  const TextFont boardFontEn(fonts.LatinBold, 14, true, k);
  for (int f = 0; f < 7; ++f) stars.push_back(StarFrame(f, k));
  // Glow rim and core colours of the five colour classes: the rim carries
  // the hue, the core stays nearly white as the eye sees bright stars.
  static const int tint[StarTintClassesArt][6] = {
      {155, 185, 255, 235, 240, 255},  // blue-white
      {205, 215, 255, 255, 255, 255},  // white
      {255, 245, 200, 255, 255, 240},  // yellow-white
      {255, 205, 130, 255, 240, 210},  // yellow-orange
      {255, 150, 95, 255, 220, 190},   // orange-red
  };
  for (const auto& t : tint)
    for (int f = 0; f < ImageNames::StarTintFrames; ++f)
      tinted.push_back(StarFrame(f, k, Col(t[0], t[1], t[2]), Col(t[3], t[4], t[5])));
  for (int f = 0; f < 8; ++f) planets.push_back(PlanetFrame(f, k));
  for (int f = 0; f < 11; ++f) trees.push_back(TreeFrame(f, k));
  for (int f = 0; f < 8; ++f) boards.push_back(BoardFrame(f, boardFont, false));
  for (int f = 0; f < 8; ++f) boardsEn.push_back(BoardFrame(f, boardFontEn, true));
  lib.push_back(MakeImage(ImageNames::StarShine, stars));
  lib.push_back(MakeImage(ImageNames::StarBall, planets));
  lib.push_back(MakeImage(ImageNames::CloudImg, {Cloud(k)}));
  lib.push_back(MakeImage(ImageNames::Sun, {SunImage(k)}));
  // The ground is a texture laid at its own size at every scale: only the
  // 1x library has it.
  if (k == 1) lib.push_back(MakeImage(ImageNames::Ground, {GroundImage()}));
  lib.push_back(MakeImage(ImageNames::Tree, trees));
  lib.push_back(MakeImage(ImageNames::BoardList, boards));
  lib.push_back(MakeImage(ImageNames::StarTint, tinted));
  lib.push_back(MakeImage(ImageNames::BoardListEn, boardsEn));
}
