#include "SkyLight.h"

#include "Angles.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "SolarSystem.h"
#include "Topocentric.h"

namespace {

constexpr double EclipseReach = 2 * Deg;  // Moon closer than this to the Sun: eclipse drawing
constexpr double TotalitySkyAltitude = -7 * Deg;  // what the sky looks like when the Sun is covered

struct TRgb {
  double R, G, B;
};
TRgb Mix(const TRgb& a, const TRgb& b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

// The sky by the Sun's altitude (degrees): colour at the zenith, at the
// horizon away from the Sun and at the horizon below the Sun.
struct TSkyKey {
  double Altitude;
  TRgb Zenith, Away, Toward;
};
constexpr std::array<TSkyKey, 8> Keys = {{
    {-18.0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},                  // night
    {-15.0, {0, 0, 4}, {1, 2, 7}, {8, 8, 20}},                 // astronomical twilight
    {-12.0, {1, 3, 12}, {4, 6, 18}, {25, 20, 45}},
    {-6.0, {8, 18, 52}, {22, 28, 62}, {120, 62, 58}},          // end of civil twilight
    {-3.0, {18, 38, 90}, {48, 50, 100}, {205, 105, 60}},
    {0.0, {32, 68, 140}, {98, 104, 155}, {250, 150, 72}},       // sunset
    {6.0, {38, 88, 180}, {118, 150, 205}, {238, 200, 150}},
    {20.0, {30, 88, 200}, {128, 168, 225}, {175, 205, 240}},    // day
}};

TSkyKey KeyAt(double altDeg) {
  if (altDeg <= Keys.front().Altitude) return Keys.front();
  if (altDeg >= Keys.back().Altitude) return Keys.back();
  for (size_t i = 1; i < Keys.size(); ++i)
    if (altDeg <= Keys[i].Altitude) {
      const TSkyKey &a = Keys[i - 1], &b = Keys[i];
      const double t = (altDeg - a.Altitude) / (b.Altitude - a.Altitude);
      return {altDeg, Mix(a.Zenith, b.Zenith, t), Mix(a.Away, b.Away, t),
              Mix(a.Toward, b.Toward, t)};
    }
  return Keys.back();
}

TVector3 Unit(const TVector3& v) {
  const double n = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
  if (!(n > 0)) return {0, 0, 1};
  return {v.X / n, v.Y / n, v.Z / n};
}
double AngleBetween(const TVector3& a, const TVector3& b) {
  const double c = a.X * b.X + a.Y * b.Y + a.Z * b.Z;
  const double cx = a.Y * b.Z - a.Z * b.Y, cy = a.Z * b.X - a.X * b.Z, cz = a.X * b.Y - a.Y * b.X;
  return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), c);
}

// The sky colour of direction `dir` (unit) for a key, with the glow around the Sun.
TRgb ColourOf(const TSkyLight& light, const TSkyKey& key, const TVector3& dir) {
  const TVector3& s = light.SunDir;
  const double up = std::clamp(dir.Z, 0.0, 1.0);
  // Closeness to the Sun's azimuth, 1 under the Sun, 0 opposite.
  const double hn = std::hypot(dir.X, dir.Y), sn = std::hypot(s.X, s.Y);
  const double cosAz = hn > 1e-9 && sn > 1e-9 ? (dir.X * s.X + dir.Y * s.Y) / (hn * sn) : 0;
  const double toward = (1 + cosAz) / 2;
  const TRgb horizon = Mix(key.Away, key.Toward, toward * toward * toward);
  // The horizon colour reaches higher on the Sun's side in twilight.
  const double lift = 0.35 + 0.3 * toward;
  TRgb c = Mix(horizon, key.Zenith, std::pow(up, lift));
  if (light.Glow > 0) {
    const double c0 = dir.X * s.X + dir.Y * s.Y + dir.Z * s.Z;
    const double gamma = std::acos(std::clamp(c0, -1.0, 1.0));
    const double g = light.Glow * (0.75 * std::exp(-gamma / (6 * Deg)) + 0.25 * std::exp(-gamma / (30 * Deg)));
    c = Mix(c, TRgb{255, 250, 236}, std::clamp(g, 0.0, 1.0));
  }
  return c;
}

TColor ToColor(const TRgb& c) {
  auto b = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0) + 0.5); };
  return RGB(b(c.R), b(c.G), b(c.B));
}

}  // namespace

double CoveredFraction(double rs, double rm, double d) {
  if (!(rs > 0) || !(rm > 0)) return 0;
  if (d >= rs + rm) return 0;
  if (d <= std::fabs(rm - rs)) return rm >= rs ? 1.0 : (rm * rm) / (rs * rs);
  const double a = std::acos(std::clamp((d * d + rs * rs - rm * rm) / (2 * d * rs), -1.0, 1.0));
  const double b = std::acos(std::clamp((d * d + rm * rm - rs * rs) / (2 * d * rm), -1.0, 1.0));
  const double area = rs * rs * (a - std::sin(2 * a) / 2) + rm * rm * (b - std::sin(2 * b) / 2);
  return std::clamp(area / (M_PI * rs * rs), 0.0, 1.0);
}

int SkyLimit(double altitude) {
  static const double table[][2] = {{-19.5, 100}, {-18, 65}, {-15, 55}, {-12, 45}, {-9, 35},
                                    {-6, 20},     {-3, 5},   {0, -15},  {6, -35}};
  const double a = altitude / Deg;
  if (a < table[0][0]) return 1000;
  if (a >= 6) return -35;
  for (size_t i = 1; i < std::size(table); ++i)
    if (a < table[i][0]) {
      const double t = (a - table[i - 1][0]) / (table[i][0] - table[i - 1][0]);
      return static_cast<int>(std::lround(table[i - 1][1] + (table[i][1] - table[i - 1][1]) * t));
    }
  return -35;
}

int MoonlightLimit(double altitude, double litFraction) {
  // The moonlit sky brightens with the Moon's light (the lit fraction rises
  // faster than linearly: a full Moon is some ten times a quarter Moon) and
  // with its height (more of its light is scattered toward the observer
  // through a shorter path); it starts at the horizon.
  const double height = std::clamp(std::sin(altitude) / std::sin(50 * Deg), 0.0, 1.0);
  const double lit = std::pow(std::clamp(litFraction, 0.0, 1.0), 1.5);
  const double k = lit * std::sqrt(height);
  if (k <= 0) return 1000;
  return static_cast<int>(std::lround(65 - 30 * k));
}

namespace {

// A solar eclipse in the picture: when the Moon comes near enough to the Sun
// that the discs as ordinarily drawn (far larger than true) would touch, or
// within 2 degrees, both are drawn at one common magnification about the
// Sun, at their true size ratio and separation.
void EclipseGeometry(const TSkyloom& sky, double discScale, TSkyLight& light) {
  const TSkyPoint& sun = sky.Planets[BodySun];
  const TSkyPoint& moon = sky.Planets[BodyMoon];
  light.SunDir = Unit(HorizontalDirection(sun.Lon, sun.Lat, sky));
  light.SunAltitude = std::asin(std::clamp(light.SunDir.Z, -1.0, 1.0));
  // The Moon seen from the observer: the sky update leaves its topocentric
  // place in the model.
  const TVector3 moonDir = Unit(HorizontalDirection(moon.Lon, moon.Lat, sky));
  light.SunRadius = SunSemiDiameter(static_cast<double>(sky.BodyTable.Body(BodySun).Dist));
  light.MoonRadius = MoonSemiDiameter(TopocentricMoon(sky).Dist);
  light.Separation = AngleBetween(light.SunDir, moonDir);
  const double drawnReach =
      sky.Scale > 0 ? (SunDiscRadius + MoonDiscRadius + 2.0) * discScale / sky.Scale : EclipseReach;
  light.Eclipse = light.Separation < std::max(EclipseReach, drawnReach);
  light.MoonLimit = MoonlightLimit(std::asin(std::clamp(moonDir.Z, -1.0, 1.0)),
                                   (1 + std::cos(sky.MoonPhase)) / 2);
  if (!light.Eclipse) return;
  light.Covered = CoveredFraction(light.SunRadius, light.MoonRadius, light.Separation);
  // Pixels per radian that make the Sun's true disc the picture's disc.
  const double perRadian = SunDiscRadius * discScale / light.SunRadius;
  light.Magnification = sky.Scale > 0 ? perRadian / sky.Scale : 1;
  light.MoonDrawnRadius = perRadian * light.MoonRadius;
  // The true separation, magnified, in the direction the Moon lies on screen.
  const double dx = -(moon.Y - sun.Y), dy = moon.X - sun.X;
  const double n = std::hypot(dx, dy);
  const double r = perRadian * light.Separation;
  if (n > 1e-9) {
    light.MoonDx = dx / n * r;
    light.MoonDy = dy / n * r;
  } else {
    light.MoonDx = r;
  }
}

}  // namespace

TSkyLight ComputeSkyLight(const TSkyloom& sky, double discScale) {
  TSkyLight light;
  light.On = sky.RealisticSky != 0;
  EclipseGeometry(sky, discScale, light);
  if (!light.On) return light;
  // The sky darkens only when most of the Sun is hidden.
  const double w = std::pow(light.Covered, 3);
  light.SkyAltitude = light.SunAltitude;
  if (light.SunAltitude > TotalitySkyAltitude)
    light.SkyAltitude = light.SunAltitude + (TotalitySkyAltitude - light.SunAltitude) * w;
  // The bright sky around the Sun while it is up (and uncovered).
  const double up = std::clamp((light.SunAltitude / Deg + 4) / 8, 0.0, 1.0);
  light.Glow = 0.85 * up * (1 - light.Covered) * (1 - light.Covered);
  light.Limit = SkyLimit(light.SkyAltitude);
  light.MessierLimit = light.Limit >= 1000 ? 1000 : light.Limit - 20;
  return light;
}

TColor SkyColourAt(const TSkyLight& light, const TVector3& dir) {
  return ToColor(ColourOf(light, KeyAt(light.SkyAltitude / Deg), Unit(dir)));
}

TVector3 ScreenDirection(const TSkyloom& sky, double x, double y) {
  if (ProjectionBend(sky.FieldOfView) > 1) return HorizontalAtScreen(sky, x, y);
  const double scale = sky.Scale > 0 ? sky.Scale : 1;
  const double ut = (sky.CenterX - x) / scale, vt = (y - sky.CenterY) / scale;
  const double ca = std::cos(sky.ViewAz), sa = std::sin(sky.ViewAz);
  const double cb = std::cos(sky.ViewAlt), sb = std::sin(sky.ViewAlt);
  const double g = sb * vt + cb;
  const double hz = -cb * vt + sb;
  return {ca * g - sa * ut, sa * g + ca * ut, hz};
}

// A full night is plain black: nothing to grade.
bool SkyIsGraded(const TSkyLight& light) {
  return !(light.SkyAltitude / Deg <= Keys.front().Altitude && light.Glow <= 0);
}

void PaintSky(TBackBuffer& buffer, const TSkyloom& sky, const TSkyLight& light) {
  const int W = buffer.Width(), H = std::min(buffer.Height(), std::max(0, sky.ScreenHeight));
  if (W <= 0 || H <= 0) return;
  const TSkyKey key = KeyAt(light.SkyAltitude / Deg);
  if (!SkyIsGraded(light)) {
    std::fill(buffer.Pixels(), buffer.Pixels() + static_cast<size_t>(W) * H, uint16_t{0});
    return;
  }
  constexpr int MaxNodes = 80;
  int step = 16;
  while (W / step + 2 > MaxNodes || H / step + 2 > MaxNodes) step *= 2;
  const int nx = W / step + 2, ny = H / step + 2;
  // Node colours in 8.8 fixed point.
  std::array<int32_t, MaxNodes * MaxNodes * 3> node;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const TRgb c = ColourOf(light, key, Unit(ScreenDirection(sky, i * step, j * step)));
      int32_t* n = &node[static_cast<size_t>((j * MaxNodes + i) * 3)];
      n[0] = static_cast<int32_t>(std::clamp(c.R, 0.0, 255.0) * 256);
      n[1] = static_cast<int32_t>(std::clamp(c.G, 0.0, 255.0) * 256);
      n[2] = static_cast<int32_t>(std::clamp(c.B, 0.0, 255.0) * 256);
    }
  // A 2x2 ordered dither hides the steps of the 16-bit colours.
  static constexpr int32_t Dither[2][2] = {{0, 1024}, {1536, 512}};
  std::array<int32_t, MaxNodes * 3> row;
  for (int y = 0; y < H; ++y) {
    const int j = y / step, fy = y % step;
    for (int i = 0; i < nx; ++i)
      for (int k = 0; k < 3; ++k) {
        const int32_t a = node[static_cast<size_t>((j * MaxNodes + i) * 3 + k)];
        const int32_t b = node[static_cast<size_t>(((j + 1) * MaxNodes + i) * 3 + k)];
        row[static_cast<size_t>(i * 3 + k)] = a + (b - a) * fy / step;
      }
    uint16_t* out = buffer.Pixels() + static_cast<size_t>(y) * W;
    for (int x0 = 0, i = 0; x0 < W; x0 += step, ++i) {
      const int32_t* a = &row[static_cast<size_t>(i * 3)];
      const int32_t* b = a + 3;
      int32_t r = a[0], g = a[1], bl = a[2];
      const int32_t dr = (b[0] - a[0]) / step, dg = (b[1] - a[1]) / step, db = (b[2] - a[2]) / step;
      const int x1 = std::min(W, x0 + step);
      for (int x = x0; x < x1; ++x) {
        const int32_t d = Dither[y & 1][x & 1];
        const int32_t R = std::min(255, (r + d) >> 8), G = std::min(255, (g + d / 2) >> 8),
                      B = std::min(255, (bl + d) >> 8);
        out[x] = static_cast<uint16_t>(((R >> 3) << 11) | ((G >> 2) << 5) | (B >> 3));
        r += dr;
        g += dg;
        bl += db;
      }
    }
  }
}
