// Equator of date -> horizontal frame (S, E, U) -> visibility -> view
// rotation and perspective. Every intermediate is rounded to double; the
// sines and cosines of the sky rotation, latitude and view angles are taken
// once per call instead of once per point (the same values either way).
#include <algorithm>
#include <cmath>

#include "Refraction.h"
#include "Transforms.h"

namespace {

struct TTurns {
  double CosTheta, SinTheta, CosPhi, SinPhi;
  TTurns(double theta, double phi)
      : CosTheta(std::cos(theta)), SinTheta(std::sin(theta)), CosPhi(std::cos(phi)),
        SinPhi(std::sin(phi)) {}

  TVector3 Horizontal(const TVector3& v) const {
    double x1 = CosTheta * v.X - SinTheta * v.Y;  // turn about the pole by Theta
    double y1 = SinTheta * v.X + CosTheta * v.Y;
    double s = SinPhi * x1 - CosPhi * v.Z;        // tilt by the latitude
    double u = CosPhi * x1 + SinPhi * v.Z;
    return {s, y1, u};
  }
};

// Depth (cosine of the angle from the view's centre) below which a point
// is far behind the viewer: cos 105 degrees.
constexpr double BehindDepth = -0.25881904510252074;

struct TViewTurns {
  double CosA, SinA, CosB, SinB, Scale, Bend, DepthTurn;
  explicit TViewTurns(const TProjection& view)
      : CosA(std::cos(view.ViewAz)), SinA(std::sin(view.ViewAz)), CosB(std::cos(view.ViewAlt)),
        SinB(std::sin(view.ViewAlt)), Scale(view.Scale), Bend(view.Bend),
        DepthTurn(M_PI / 2 / ReachOfBend(view.Bend)) {}

  double Depth(const TVector3& h) const {
    return CosB * (CosA * h.X + SinA * h.Y) + SinB * h.Z;
  }

  void Apply(TSkyPoint& point, const TVector3& h, bool zeroDepthFloor) const {
    double g = CosA * h.X + SinA * h.Y;    // turn to the view azimuth
    double ut = -SinA * h.X + CosA * h.Y;
    double vt = SinB * g - CosB * h.Z;     // tilt to the view altitude
    double d = CosB * g + SinB * h.Z;
    if (Bend > 1) {
      Bent(point, ut, vt, d);
    } else if (d != 0.0) {
      point.X = Scale * vt / d;
      point.Y = Scale * ut / d;
      point.Z = d;
    } else {
      point.X = Scale * vt / 0.0001;
      point.Y = Scale * ut / 0.0001;
      point.Z = zeroDepthFloor ? 0.0001 : 0.0;
    }
  }

  // The wide-field projection: radius Scale * k * tan(t / k) at the angle t
  // from the centre; the depth is cos(t) stretched so that it reaches 0 at
  // the bend's reach (what lies further is behind, as d < 0 is for the
  // perspective).
  void Bent(TSkyPoint& point, double ut, double vt, double d) const {
    const double rho = std::sqrt(ut * ut + vt * vt);
    const double t = std::atan2(rho, d);
    point.Z = std::cos(t * DepthTurn);
    if (rho == 0.0) {
      point.X = point.Y = 0;
      return;
    }
    const double r = Scale * Bend * std::tan(std::min(t / Bend, 1.55));
    point.X = r * vt / rho;
    point.Y = r * ut / rho;
  }
};

}  // namespace

TProjection ProjectionOf(const TSkyloom& sky) {
  TProjection p;
  p.SiderealTime = sky.SiderealTime;
  p.Latitude = sky.Latitude;
  p.ViewAz = sky.ViewAz;
  p.ViewAlt = sky.ViewAlt;
  p.Scale = sky.Scale;
  p.Bend = ProjectionBend(sky.FieldOfView);
  p.GroundShown = (sky.ShowFlags & SkyBits::Ground) != 0;
  p.Refraction = sky.Refraction ? &StandardRefraction() : nullptr;
  return p;
}

TVector3 HorizontalOf(const TVector3& v, double siderealTime, double latitude) {
  return TTurns(siderealTime, latitude).Horizontal(v);
}

TVector3 HorizontalDirection(double ra, double dec, double siderealTime, double latitude) {
  return HorizontalOf(DirectionOf(ra, dec), siderealTime, latitude);
}

TVector3 HorizontalDirection(double ra, double dec, const TSkyloom& sky) {
  return HorizontalDirection(ra, dec, sky.SiderealTime, sky.Latitude);
}

uint8_t VisibleFlag(double u, bool groundShown) {
  if (u >= 0.0) return 1;
  return groundShown ? 0 : 1;
}

void ApplyView(TSkyPoint& point, const TVector3& horizontal, const TProjection& view,
               bool zeroDepthFloor) {
  TViewTurns(view).Apply(point, horizontal, zeroDepthFloor);
}

void ProjectPoints(std::span<TSkyPoint> points, int first, int last, const TProjection& view) {
  first = std::max(first, 1);
  last = std::min(last, static_cast<int>(points.size()));
  if (last < first) return;
  const TTurns turns(view.SiderealTime, view.Latitude);
  const TViewTurns viewTurns(view);
  for (int i = first; i <= last; ++i) {
    TSkyPoint& pt = points[static_cast<size_t>(i - 1)];
    TVector3 h = turns.Horizontal({pt.X, pt.Y, pt.Z});
    if (view.Refraction) {
      // Points far behind the viewer (over 105 degrees from the view's
      // centre, never drawn) are only judged above or below the horizon.
      if (viewTurns.Depth(h) > BehindDepth) {
        h = Refract(*view.Refraction, h);
      } else {
        pt.Visible = VisibleFlag(h.Z - view.Refraction->HorizonZ, view.GroundShown);
        viewTurns.Apply(pt, h, true);
        continue;
      }
    }
    pt.Visible = VisibleFlag(h.Z, view.GroundShown);
    viewTurns.Apply(pt, h, true);
  }
}

void ProjectPoints(std::span<TSkyPoint> points, int first, int last, const TSkyloom& sky) {
  ProjectPoints(points, first, last, ProjectionOf(sky));
}

double ProjectionBend(double fieldDeg) {
  constexpr double From = 90, To = 150;
  if (!(fieldDeg > From)) return 1;
  if (fieldDeg >= To) return 2;
  const double s = (fieldDeg - From) / (To - From);
  return 1 + s * s * (3 - 2 * s);
}

double ReachOfBend(double bend) { return M_PI / 2 + (bend - 1) * M_PI / 6; }

int32_t ScaleForField(double fieldDeg, int width) {
  const double field = std::clamp(fieldDeg, MinFieldOfView, MaxFieldOfView) * M_PI / 180;
  const double k = ProjectionBend(fieldDeg);
  const double scale = width / 2.0 / (k * std::tan(field / (2 * k)));
  // The small lift keeps whole results whole (1920 wide: 1280, not 1279).
  return static_cast<int32_t>(std::floor(scale + 1e-7));
}

void ApplyFieldOfView(TSkyloom& sky) {
  if (!(sky.FieldOfView >= MinFieldOfView)) sky.FieldOfView = MinFieldOfView;  // also NaN
  if (sky.FieldOfView > MaxFieldOfView) sky.FieldOfView = MaxFieldOfView;
  sky.Scale = ScaleForField(sky.FieldOfView, sky.ScreenWidth);
}

TVector3 HorizontalAtOffset(const TProjection& view, double u, double v) {
  const double scale = view.Scale > 0 ? view.Scale : 1;
  const double k = view.Bend > 1 ? view.Bend : 1;
  const double r = std::sqrt(u * u + v * v);
  const double t = k * std::atan(r / (scale * k));
  const double s = r > 0 ? std::sin(t) / r : 0;
  const double vt = s * v, ut = s * u, d = std::cos(t);
  const double ca = std::cos(view.ViewAz), sa = std::sin(view.ViewAz);
  const double cb = std::cos(view.ViewAlt), sb = std::sin(view.ViewAlt);
  const double g = sb * vt + cb * d;
  return {ca * g - sa * ut, sa * g + ca * ut, -cb * vt + sb * d};
}

TVector3 HorizontalAtScreen(const TSkyloom& sky, double x, double y) {
  return HorizontalAtOffset(ProjectionOf(sky), sky.CenterX - x, y - sky.CenterY);
}

namespace {

// Screen offset (pixels) of `held` from the point (x, y) for a view; a
// direction behind the viewer counts as far off.
bool OffsetFrom(const TSkyloom& sky, double az, double alt, const TVector3& held, double x,
                double y, double& dx, double& dy) {
  TProjection view = ProjectionOf(sky);
  view.ViewAz = az;
  view.ViewAlt = alt;
  TSkyPoint p;
  ApplyView(p, held, view);
  dx = sky.CenterX - p.Y - x;
  dy = sky.CenterY + p.X - y;
  return p.Z > 0;
}

}  // namespace

bool HoldUnderPointer(TSkyloom& sky, const TVector3& held, double x, double y) {
  const auto azimuth = [](const TVector3& h) { return std::atan2(h.Y, h.X); };
  const auto altitude = [](const TVector3& h) { return std::asin(std::clamp(h.Z, -1.0, 1.0)); };
  const double lowest = (sky.ShowFlags & SkyBits::Ground) ? 0.0 : -M_PI / 2;
  double az = sky.ViewAz, alt = sky.ViewAlt;
  // First the differences of azimuth and altitude at the pointer are taken
  // as the turn (a turn in azimuth moves every azimuth alike), which brings
  // the direction near the pointer; then Newton steps on the screen offset
  // land it exactly.
  for (int i = 0; i < 4; ++i) {
    TProjection view = ProjectionOf(sky);
    view.ViewAz = az;
    view.ViewAlt = alt;
    const TVector3 q = HorizontalAtOffset(view, sky.CenterX - x, y - sky.CenterY);
    az += std::remainder(azimuth(held) - azimuth(q), 2 * M_PI);
    alt = std::clamp(alt + altitude(held) - altitude(q), lowest, M_PI / 2);
  }
  constexpr double H = 1e-6;
  for (int i = 0; i < 30; ++i) {
    double dx = 0, dy = 0, ax = 0, ay = 0, bx = 0, by = 0;
    if (!OffsetFrom(sky, az, alt, held, x, y, dx, dy)) break;
    if (std::fabs(dx) < 1e-3 && std::fabs(dy) < 1e-3) break;
    OffsetFrom(sky, az + H, alt, held, x, y, ax, ay);
    OffsetFrom(sky, az, alt + H, held, x, y, bx, by);
    const double j11 = (ax - dx) / H, j21 = (ay - dy) / H, j12 = (bx - dx) / H, j22 = (by - dy) / H;
    const double det = j11 * j22 - j12 * j21;
    if (!(std::fabs(det) > 1e-12)) break;
    double stepAz = -(j22 * dx - j12 * dy) / det, stepAlt = -(-j21 * dx + j11 * dy) / det;
    const double longest = std::max(std::fabs(stepAz), std::fabs(stepAlt));
    if (longest > 0.3) {
      stepAz *= 0.3 / longest;
      stepAlt *= 0.3 / longest;
    }
    az += stepAz;
    alt = std::clamp(alt + stepAlt, lowest, M_PI / 2);
  }
  az = std::remainder(az, 2 * M_PI);
  if (az < 0) az += 2 * M_PI;
  sky.ViewAz = az;
  sky.ViewAlt = alt;
  double dx = 0, dy = 0;
  return OffsetFrom(sky, az, alt, held, x, y, dx, dy) && std::fabs(dx) <= 0.5 &&
         std::fabs(dy) <= 0.5;
}
