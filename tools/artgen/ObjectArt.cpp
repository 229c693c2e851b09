// Pictures shown for the object under the pointer: the Messier objects, drawn
// from their type, size ratio and position angle (north up, east left), the
// Sun, the Moon's phases and the planets.
#include <cmath>
#include <set>

#include "Art.h"
#include "ImageNames.h"

namespace {

struct Frame {
  float cx, cy, R;   // centre and radius of the picture's round field
};

// A picture's size in units (its pixels over its scale): the drawing below
// works in units, so that it draws the same picture at 1x, 2x and 3x.
float UnitW(const Raster& r) { return r.W() / r.Scale(); }
float UnitH(const Raster& r) { return r.H() / r.Scale(); }

// Dark sky field that fades out towards the rim, so the picture sits softly
// on the screen's sky, with a few faint field stars.
void SkyField(Raster& r, Prng& rng, int stars) {
  const Frame f{UnitW(r) / 2.0f, UnitH(r) / 2.0f, std::min(UnitW(r), UnitH(r)) / 2.0f};
  Glow(
      r,
      [&](float x, float y) {
        return 0.92f * (1 - SmoothStep(f.R * 0.82f, f.R, std::hypot(x - f.cx, y - f.cy)));
      },
      [](float, float) { return Col(4, 6, 18); });
  for (int i = 0; i < stars; ++i) {
    const float x = rng.Range(4, UnitW(r) - 4.0f), y = rng.Range(4, UnitH(r) - 4.0f);
    const float b = rng.Range(0.25f, 0.8f);
    if (std::hypot(x - f.cx, y - f.cy) > f.R * 0.85f) continue;
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    GlowBox(r, ix - 4, iy - 4, ix + 5, iy + 5,
            [&](float px, float py) { return b * std::exp(-((px - x) * (px - x) + (py - y) * (py - y)) / 0.7f); },
            [](float, float) { return Col(220, 228, 255); });
  }
}

void Star(Raster& r, float x, float y, float bright, const Rgba& c) {
  const float s = 0.5f + 1.1f * bright;
  const int reach = static_cast<int>(std::ceil(4 * s)) + 1;
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  GlowBox(
      r, ix - reach, iy - reach, ix + reach + 1, iy + reach + 1,
      [&](float px, float py) {
        const float d2 = (px - x) * (px - x) + (py - y) * (py - y);
        return Clamp01(bright * 1.4f * std::exp(-d2 / (s * s)));
      },
      [&](float, float) { return c; });
}

// Screen angle of a position angle (degrees from north through east; east is
// to the left with north up).
float ScreenAngle(float paDeg) {
  const float t = paDeg * kPi / 180;
  return std::atan2(-std::cos(t), -std::sin(t));
}

bool IsElliptical(const std::string& code) {
  static const std::set<std::string> e = {"M32", "M49", "M59", "M60", "M84", "M86",
                                          "M87", "M89", "M105", "M110", "M85"};
  return e.count(code) > 0;
}

void Galaxy(Raster& r, const MessierShape& m, Prng& rng, uint32_t seed) {
  const float c = UnitW(r) / 2.0f;
  float ratio = m.Minor > 0 && m.Major > 0 ? m.Minor / m.Major : 0.8f;
  ratio = std::max(ratio, 0.14f);
  const float a = UnitW(r) * 0.42f, b = a * ratio;
  const float phi = m.HasAngle ? ScreenAngle(m.Angle) : 0.3f;
  const float cs = std::cos(phi), sn = std::sin(phi);
  const bool elliptical = IsElliptical(m.Code);
  const bool edgeOn = !elliptical && ratio < 0.42f;
  const float arms = 2, twist = 3.2f + rng.Range(-0.6f, 0.6f), turn = rng.Range(0, 2 * kPi);
  Glow(
      r,
      [&](float x, float y) {
        const float dx = x - c, dy = y - c;
        const float u = (dx * cs + dy * sn) / a, v = (-dx * sn + dy * cs) / b;
        const float rho = std::sqrt(u * u + v * v);
        if (rho > 1.25f) return 0.0f;
        if (elliptical) return Clamp01(1.1f * std::exp(-rho * 3.2f) + 0.25f * std::exp(-rho * 1.3f)) * (1 - SmoothStep(0.9f, 1.25f, rho));
        const float bulge = std::exp(-rho * rho / 0.02f) + 0.5f * std::exp(-rho / 0.12f);
        float disc = std::exp(-rho / 0.32f);
        if (edgeOn) {
          const float lane = 1 - 0.75f * std::exp(-std::pow((v + 0.1f) / 0.22f, 2)) * SmoothStep(0.05f, 0.3f, std::fabs(u));
          disc *= lane;
          return Clamp01((bulge * 0.9f + disc * 0.9f) * lane) * (1 - SmoothStep(0.85f, 1.2f, rho));
        }
        const float psi = std::atan2(v, u);
        const float spiral = std::cos(arms * (psi - twist * std::log(rho + 0.05f) - turn));
        const float armBoost = 0.35f + 0.9f * std::pow(Clamp01(spiral * 0.5f + 0.5f), 3.0f);
        const float knots = 0.8f + 0.4f * Fbm(x / 4.0f, y / 4.0f, seed, 3);
        return Clamp01(bulge * 0.95f + disc * armBoost * knots * 0.95f) *
               (1 - SmoothStep(0.85f, 1.2f, rho));
      },
      [&](float x, float y) {
        const float dx = x - c, dy = y - c;
        const float u = (dx * cs + dy * sn) / a, v = (-dx * sn + dy * cs) / b;
        const float rho = std::sqrt(u * u + v * v);
        if (elliptical) return Mix(Col(255, 240, 205), Col(230, 200, 160), Clamp01(rho));
        return Mix(Col(255, 238, 200), Col(170, 195, 255), SmoothStep(0.05f, 0.5f, rho));
      });
}

void Globular(Raster& r, Prng& rng, float scale) {
  const float c = UnitW(r) / 2.0f, core = UnitW(r) * 0.07f * scale, R = UnitW(r) * 0.36f * scale;
  Glow(
      r, [&](float x, float y) {
        const float d = std::hypot(x - c, y - c);
        return Clamp01(0.95f * std::exp(-d * d / (2 * core * core)) + 0.35f * std::exp(-d / (R * 0.45f)));
      },
      [](float, float) { return Col(255, 240, 210); });
  for (int i = 0; i < 520; ++i) {
    const float rad = R * std::pow(rng.Uniform(), 1.6f), ang = rng.Range(0, 2 * kPi);
    const float b = rng.Range(0.15f, 0.7f) * (1 - 0.5f * rad / R);
    Star(r, c + std::cos(ang) * rad, c + std::sin(ang) * rad, b,
         rng.Uniform() < 0.3f ? Col(255, 210, 160) : Col(235, 240, 255));
  }
}

void OpenCluster(Raster& r, Prng& rng, int count, bool nebula) {
  const float c = UnitW(r) / 2.0f, R = UnitW(r) * 0.38f;
  if (nebula) {
    Glow(
        r, [&](float x, float y) {
          const float d = std::hypot(x - c, y - c) / R;
          return Clamp01((0.35f + 0.3f * Fbm(x / 9.0f, y / 9.0f, 45, 4)) * (1 - SmoothStep(0.3f, 1.1f, d)));
        },
        [](float, float) { return Col(120, 160, 255); });
  }
  for (int i = 0; i < count; ++i) {
    const float rad = R * std::sqrt(rng.Uniform()) * (0.4f + 0.6f * rng.Uniform()), ang = rng.Range(0, 2 * kPi);
    const float b = i < count / 8 ? rng.Range(0.8f, 1.0f) : rng.Range(0.25f, 0.6f);
    Star(r, c + std::cos(ang) * rad, c + std::sin(ang) * rad, b,
         rng.Uniform() < 0.2f ? Col(255, 220, 170) : Col(200, 220, 255));
  }
}

void Planetary(Raster& r, const MessierShape& m, uint32_t seed) {
  const float c = UnitW(r) / 2.0f, R = UnitW(r) * 0.3f;
  const bool bipolar = m.Code == "M27" || m.Code == "M76";
  const bool owl = m.Code == "M97";
  Glow(
      r,
      [&](float x, float y) {
        const float dx = (x - c) / R, dy = (y - c) / R;
        const float d = std::sqrt(dx * dx + dy * dy * (bipolar ? 0.8f : 1.1f));
        const float n = 0.85f + 0.3f * Fbm(x / 5.0f, y / 5.0f, seed, 3);
        float a;
        if (bipolar) {
          const float lobes = std::fabs(dy) / (std::fabs(dx) + std::fabs(dy) + 0.05f);
          a = (1 - SmoothStep(0.7f, 1.05f, d)) * (0.3f + 0.7f * lobes);
        } else if (owl) {
          const float eye = std::min(std::hypot(dx + 0.32f, dy + 0.05f), std::hypot(dx - 0.32f, dy - 0.1f));
          a = (1 - SmoothStep(0.85f, 1.02f, d)) * (0.35f + 0.65f * SmoothStep(0.12f, 0.32f, eye));
        } else {
          a = std::exp(-std::pow((d - 0.75f) / 0.22f, 2)) + 0.25f * (1 - SmoothStep(0.3f, 0.8f, d));
        }
        return Clamp01(a * n);
      },
      [&](float x, float y) {
        const float d = std::hypot(x - c, y - c) / R;
        return Mix(Col(120, 240, 220), Col(255, 90, 90), SmoothStep(0.45f, 1.0f, d));
      });
  Star(r, c, c, 0.7f, Col(230, 240, 255));
}

// Emission (red) nebula with blue reflection parts and dark lanes.
void Diffuse(Raster& r, const MessierShape& m, Prng& rng, uint32_t seed) {
  const float c = UnitW(r) / 2.0f, R = UnitW(r) * 0.45f;
  const bool reflection = m.Code == "M78";
  const float ratio = m.Minor > 0 && m.Major > 0 ? std::max(0.35f, m.Minor / m.Major) : 0.85f;
  Glow(
      r,
      [&](float x, float y) {
        const float dx = (x - c) / R, dy = (y - c) / (R * ratio);
        const float d = std::sqrt(dx * dx + dy * dy);
        float n = Fbm(x / 16.0f, y / 16.0f, seed, 5);
        float a = (0.55f + 0.9f * n) * (1 - SmoothStep(0.35f, 1.0f, d));
        if (m.Code == "M42") a += 0.9f * std::exp(-((dx + 0.1f) * (dx + 0.1f) + dy * dy) / 0.03f);
        if (m.Code == "M8") a *= 1 - 0.7f * std::exp(-std::pow((dy - 0.25f * dx) / 0.08f, 2));
        if (m.Code == "M20") {
          const float lanes = std::min({std::fabs(dx), std::fabs(dy + 0.55f * dx), std::fabs(dy - 0.55f * dx)});
          a *= 0.25f + 0.75f * SmoothStep(0.02f, 0.09f, lanes);
        }
        const float dust = SmoothStep(0.05f, 0.35f, Fbm(x / 10.0f, y / 10.0f, seed + 9, 4));
        return Clamp01(a * (1 - 0.6f * dust));
      },
      [&](float x, float y) {
        if (reflection) return Col(130, 170, 255);
        const float t = Clamp01(0.5f + Fbm(x / 20.0f, y / 20.0f, seed + 3, 3));
        Rgba base = Mix(Col(255, 80, 110), Col(255, 150, 170), t);
        if (m.Code == "M20") base = Mix(base, Col(120, 160, 255), SmoothStep(-0.3f, -0.55f, (y - c) / R));
        if (m.Code == "M42") {
          const float d = std::hypot(x - c, y - c) / R;
          base = Mix(Col(200, 255, 235), base, SmoothStep(0.05f, 0.4f, d));
        }
        return base;
      });
  for (int i = 0; i < 14; ++i)
    Star(r, c + rng.Gauss() * R * 0.35f, c + rng.Gauss() * R * 0.35f, rng.Range(0.4f, 0.9f),
         Col(230, 240, 255));
}

// Distance of (dx, dy) from the centre in units of an ellipse with semi-axes
// a, b whose major axis is turned by phi (radians): 1 on the ellipse.
float EllipseRadius(float dx, float dy, float a, float b, float phi) {
  const float u = (dx * std::cos(phi) + dy * std::sin(phi)) / a;
  const float v = (-dx * std::sin(phi) + dy * std::cos(phi)) / b;
  return std::sqrt(u * u + v * v);
}

void Remnant(Raster& r, uint32_t seed) {
  const float c = UnitW(r) / 2.0f, a = UnitW(r) * 0.40f, b = UnitW(r) * 0.28f;
  const float phi = -0.5f;
  Glow(
      r,
      [&](float x, float y) {
        const float d = EllipseRadius(x - c, y - c, a, b, phi);
        return Clamp01(0.6f * (1 - SmoothStep(0.2f, 1.0f, d)));
      },
      [](float, float) { return Col(170, 190, 255); });
  Glow(
      r,
      [&](float x, float y) {
        const float d = EllipseRadius(x - c, y - c, a, b, phi);
        const float f = std::fabs(Fbm(x / 6.0f, y / 6.0f, seed, 4));
        return Clamp01((1 - SmoothStep(0.05f, 0.22f, f)) * 0.7f * (1 - SmoothStep(0.6f, 1.0f, d)));
      },
      [](float x, float y) { return Mix(Col(255, 150, 90), Col(255, 90, 80), Clamp01(Fbm(x / 9.0f, y / 9.0f, 5, 2) + 0.5f)); });
}

void StarCloud(Raster& r, Prng& rng) {
  const float c = UnitW(r) / 2.0f;
  Glow(
      r,
      [&](float x, float y) {
        const float d = std::hypot((x - c) / 1.3f, y - c) / (UnitW(r) * 0.42f);
        return Clamp01((0.35f + 0.3f * Fbm(x / 12.0f, y / 12.0f, 24, 4)) * (1 - SmoothStep(0.4f, 1.0f, d)));
      },
      [](float, float) { return Col(220, 205, 180); });
  for (int i = 0; i < 700; ++i) {
    const float x = c + rng.Gauss() * UnitW(r) * 0.2f, y = c + rng.Gauss() * UnitW(r) * 0.14f;
    Star(r, x, y, rng.Range(0.15f, 0.6f), rng.Uniform() < 0.4f ? Col(255, 220, 180) : Col(230, 235, 255));
  }
}

Raster Messier(const MessierShape& m, float k) {
  const int size = m.Major >= 60 ? 128 : 96;
  Raster r(size, size, k);
  const uint32_t seed = static_cast<uint32_t>(std::atoi(m.Code.c_str() + 1)) * 7919u + 13u;
  Prng rng(seed);
  SkyField(r, rng, 18);
  const std::string& t = m.Type;
  if (t == "galaxy") Galaxy(r, m, rng, seed);
  else if (t == "globular cluster") Globular(r, rng, 1.0f);
  else if (t == "open cluster") OpenCluster(r, rng, m.Code == "M45" ? 40 : m.Major > 25 ? 80 : 60, m.Code == "M45");
  else if (t == "planetary nebula") Planetary(r, m, seed);
  else if (t == "diffuse nebula") Diffuse(r, m, rng, seed);
  else if (t == "supernova remnant") Remnant(r, seed);
  else if (t == "star cloud") StarCloud(r, rng);
  else OpenCluster(r, rng, 30, false);
  return r;
}

// A lit sphere: `surface` gives the albedo colour at a point of the disc
// given its normal (nx right, ny up, nz towards the viewer).
using Surface = std::function<Rgba(float nx, float ny, float nz)>;
void Sphere(Raster& r, float cx, float cy, float R, float flatten, const Surface& surface,
            float lx = -0.35f, float ly = 0.3f) {
  const float lz = std::sqrt(std::max(0.0f, 1 - lx * lx - ly * ly));
  Fill(
      r, [&](float x, float y) { return SdEllipse(x, y, cx, cy, R, R * flatten, 0); },
      [&](float x, float y) {
        const float nx = Clamp01((x - cx) / R * 0.5f + 0.5f) * 2 - 1;
        const float ny = -((y - cy) / (R * flatten));
        const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
        Rgba c = surface(nx, ny, nz);
        const float light = 0.25f + 0.85f * std::max(0.0f, nx * lx + ny * ly + nz * lz);
        c.r *= light;
        c.g *= light;
        c.b *= light;
        return c;
      });
}

Raster SunPicture(float k) {
  Raster r(96, 96, k);
  const float c = 48, R = 34;
  Glow(
      r, [&](float x, float y) {
        const float d = std::hypot(x - c, y - c);
        return d < R ? 0.0f : Clamp01(0.7f * std::exp(-(d - R) / 5.0f));
      },
      [](float, float) { return Col(255, 190, 90); });
  Fill(
      r, [&](float x, float y) { return SdCircle(x, y, c, c, R); },
      [&](float x, float y) {
        const float t = Clamp01(std::hypot(x - c, y - c) / R);
        const float mu = std::sqrt(std::max(0.0f, 1 - t * t));
        const float gran = 1 + 0.06f * Fbm(x / 1.6f, y / 1.6f, 3, 2);
        float k = (0.45f + 0.55f * mu) * gran;
        // Two sunspot groups.
        const float s1 = std::hypot(x - (c - 12), y - (c - 6)), s2 = std::hypot(x - (c + 9), y - (c + 8));
        k *= 1 - 0.7f * (1 - SmoothStep(1.2f, 2.6f, s1)) - 0.6f * (1 - SmoothStep(0.8f, 2.0f, s2));
        return Mix(Col(180, 60, 10), Col(255, 245, 200), Clamp01(k));
      });
  return r;
}

// Albedo of the Moon's near side at a point given by its normal: bright
// highlands, darker maria at their places on the face, a rayed crater below.
Rgba MoonAlbedo(float nx, float ny) {
  struct Mare {
    float x, y, rx, ry;
  };
  static const Mare maria[] = {
      {-0.30f, 0.45f, 0.30f, 0.22f},   // Imbrium
      {0.18f, 0.40f, 0.18f, 0.16f},    // Serenitatis
      {0.38f, 0.12f, 0.22f, 0.18f},    // Tranquillitatis
      {0.72f, 0.30f, 0.11f, 0.13f},    // Crisium
      {-0.62f, 0.05f, 0.25f, 0.45f},   // Procellarum
      {-0.20f, -0.35f, 0.20f, 0.14f},  // Nubium
      {0.45f, -0.22f, 0.15f, 0.16f},   // Fecunditatis
      {0.08f, 0.10f, 0.10f, 0.08f},    // Vaporum
      {0.55f, 0.55f, 0.2f, 0.06f},     // Frigoris east
      {-0.05f, 0.72f, 0.45f, 0.07f},   // Frigoris
  };
  // Irregular shores: the mare outlines are warped by noise.
  const float wx = nx + 0.09f * Fbm(nx * 4, ny * 4, 80, 3);
  const float wy = ny + 0.09f * Fbm(nx * 4 + 5, ny * 4, 81, 3);
  float mare = 0;
  for (const Mare& m : maria) {
    const float d = std::hypot((wx - m.x) / m.rx, (wy - m.y) / m.ry);
    mare = std::max(mare, 1 - SmoothStep(0.6f, 1.3f, d));
  }
  mare = Clamp01(mare * (0.75f + 0.5f * Fbm(nx * 7, ny * 7, 77, 4)));
  Rgba c = Mix(Col(224, 221, 210), Col(138, 140, 146), mare * 0.8f);
  const float k = 1 + 0.10f * Fbm(nx * 22, ny * 22, 78, 3);
  // Small craters: bright rims in the highlands.
  static const float craters[][3] = {{0.05f, -0.55f, 0.05f}, {-0.45f, -0.55f, 0.04f},
                                     {0.30f, -0.60f, 0.05f}, {-0.70f, -0.35f, 0.04f},
                                     {0.62f, -0.02f, 0.035f}, {-0.35f, 0.18f, 0.035f},
                                     {0.15f, 0.75f, 0.04f},  {-0.55f, 0.60f, 0.03f}};
  float rim = 0;
  for (const auto& cr : craters) {
    const float d = std::hypot(nx - cr[0], ny - cr[1]) / cr[2];
    rim = std::max(rim, std::exp(-((d - 1) / 0.35f) * ((d - 1) / 0.35f)));
  }
  // Tycho: a bright crater with a soft bright halo.
  const float tycho = std::hypot(nx + 0.12f, ny + 0.68f);
  const float bright = 0.25f * (1 - SmoothStep(0.015f, 0.045f, tycho)) +
                       0.08f * std::exp(-tycho / 0.12f) + 0.05f * rim;
  c.r = c.r * k + bright;
  c.g = c.g * k + bright;
  c.b = c.b * k + bright;
  return c;
}

}  // namespace

Raster MoonFrame(int k, int frames, int size, float scale) {
  Raster r(size, size, scale);
  const float c = size / 2.0f, R = size / 2.0f - 3;
  const float phase = 2 * kPi * k / frames;
  // Direction of the Sun: behind the viewer at full Moon, lighting the left
  // limb before new Moon and the right limb after it.
  const float sx = -std::sin(phase), sz = std::cos(phase);
  Fill(
      r, [&](float x, float y) { return SdCircle(x, y, c, c, R); },
      [&](float x, float y) {
        const float nx = (x - c) / R, ny = -(y - c) / R;
        const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
        const float cosi = nx * sx + nz * sz;
        const float lit = SmoothStep(-0.04f, 0.04f, cosi);
        const Rgba albedo = MoonAlbedo(nx, ny);
        const float shade = 0.55f + 0.45f * std::sqrt(Clamp01(cosi));
        Rgba day{albedo.r * shade, albedo.g * shade, albedo.b * shade, 1};
        Rgba night{albedo.r * 0.1f + 0.02f, albedo.g * 0.1f + 0.025f, albedo.b * 0.1f + 0.04f, 1};
        return Mix(night, day, lit);
      });
  return r;
}

namespace {

Raster Planet(int body, float k) {
  const bool saturn = body == 7;
  Raster r(saturn ? 128 : 96, saturn ? 80 : 96, k);
  const float cx = UnitW(r) / 2.0f, cy = UnitH(r) / 2.0f;
  switch (body) {
    case 3:   // Mercury: grey-brown, cratered
      Sphere(r, cx, cy, 30, 1, [](float nx, float ny, float) {
        const float n = Fbm(nx * 7, ny * 7, 31, 4);
        const float craters = std::fabs(Fbm(nx * 14, ny * 14, 32, 2));
        return Mix(Col(150, 138, 125), Col(95, 88, 80), Clamp01(0.5f + n - SmoothStep(0.0f, 0.08f, craters) * 0.3f));
      });
      break;
    case 4:   // Venus: pale cream clouds
      Sphere(r, cx, cy, 38, 1, [](float nx, float ny, float) {
        const float n = Fbm(nx * 3 + ny * 2, ny * 6, 41, 4);
        return Mix(Col(250, 240, 205), Col(220, 195, 140), Clamp01(0.4f + n));
      });
      break;
    case 5:   // Mars: red with dark markings and a polar cap
      Sphere(r, cx, cy, 34, 1, [](float nx, float ny, float) {
        const float n = Fbm(nx * 4, ny * 4, 51, 5);
        Rgba c = Mix(Col(225, 110, 60), Col(120, 55, 35), SmoothStep(0.05f, 0.35f, n));
        return Mix(c, Col(250, 250, 255), SmoothStep(0.80f, 0.86f, ny));
      });
      break;
    case 6:   // Jupiter: belts and the red spot, slightly flattened
      Sphere(r, cx, cy, 42, 0.93f, [](float nx, float ny, float) {
        const float wob = 0.04f * Fbm(nx * 6, ny * 20, 61, 3);
        const float band = std::sin((ny + wob) * 13.0f);
        Rgba c = Mix(Col(240, 225, 200), Col(170, 120, 85), SmoothStep(-0.2f, 0.7f, band));
        const float spot = std::hypot((nx - 0.25f) / 0.16f, (ny + 0.33f) / 0.08f);
        return Mix(c, Col(200, 90, 60), 1 - SmoothStep(0.7f, 1.0f, spot));
      });
      break;
    case 7: {   // Saturn with rings, the near half over the globe
      const float tilt = 0.32f;
      auto ring = [&](bool front) {
        Glow(
            r,
            [&](float x, float y) {
              const float u = (x - cx) / 60.0f, v = (y - cy) / (60.0f * tilt);
              const float d = std::sqrt(u * u + v * v);
              if ((y > cy) != front) return 0.0f;
              if (!front && std::hypot((x - cx) / 27.0f, (y - cy) / 25.0f) < 1) return 0.0f;
              const float inRing = SmoothStep(0.56f, 0.58f, d) * (1 - SmoothStep(0.98f, 1.0f, d));
              const float cassini = 1 - 0.85f * (1 - SmoothStep(0.006f, 0.02f, std::fabs(d - 0.82f)));
              return inRing * cassini * (0.75f + 0.2f * std::sin(d * 60));
            },
            [](float, float) { return Col(225, 205, 160); });
      };
      ring(false);
      Sphere(r, cx, cy, 27, 0.92f, [](float, float ny, float) {
        const float band = std::sin(ny * 9.0f);
        return Mix(Col(240, 220, 165), Col(195, 160, 105), SmoothStep(0.0f, 1.0f, band));
      });
      ring(true);
      break;
    }
    case 8:   // Uranus: pale cyan
      Sphere(r, cx, cy, 30, 1, [](float, float ny, float) {
        return Mix(Col(180, 235, 240), Col(150, 210, 225), Clamp01(0.5f + 0.5f * ny));
      });
      break;
    case 9:   // Neptune: deep blue with a dark spot
      Sphere(r, cx, cy, 30, 1, [](float nx, float ny, float) {
        Rgba c = Mix(Col(80, 120, 230), Col(50, 80, 190), Clamp01(0.5f + 0.5f * std::sin(ny * 8)));
        const float spot = std::hypot((nx + 0.2f) / 0.15f, (ny + 0.25f) / 0.08f);
        return Mix(c, Col(25, 40, 110), 1 - SmoothStep(0.7f, 1.0f, spot));
      });
      break;
    default:   // Pluto: tan with a bright heart
      Sphere(r, cx, cy, 24, 1, [](float nx, float ny, float) {
        const float n = Fbm(nx * 5, ny * 5, 101, 4);
        Rgba c = Mix(Col(205, 170, 130), Col(120, 85, 60), Clamp01(0.5f + n));
        const float heart = std::hypot((nx - 0.2f) / 0.35f, (ny + 0.15f) / 0.3f);
        return Mix(c, Col(245, 235, 220), 1 - SmoothStep(0.7f, 1.0f, heart));
      });
      break;
  }
  return r;
}

}  // namespace

void AddObjectImages(Library& lib, const std::vector<MessierShape>& messier, float k) {
  for (const MessierShape& m : messier) lib.push_back(MakeImage(m.Code, {Messier(m, k)}));
  lib.push_back(MakeImage("Sun1", {SunPicture(k)}));
  std::vector<Raster> moon;
  for (int f = 0; f < ImageNames::kMoonFrames; ++f)
    moon.push_back(MoonFrame(f, ImageNames::kMoonFrames, 96, k));
  lib.push_back(MakeImage("Sun2", moon));
  for (int body = 3; body <= 10; ++body)
    lib.push_back(MakeImage("Sun" + std::to_string(body), {Planet(body, k)}));
}
