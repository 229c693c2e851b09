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
  double CosA, SinA, CosB, SinB, Scale;
  explicit TViewTurns(const TProjection& view)
      : CosA(std::cos(view.ViewAz)), SinA(std::sin(view.ViewAz)), CosB(std::cos(view.ViewAlt)),
        SinB(std::sin(view.ViewAlt)), Scale(view.Scale) {}

  double Depth(const TVector3& h) const {
    return CosB * (CosA * h.X + SinA * h.Y) + SinB * h.Z;
  }

  void Apply(TSkyPoint& point, const TVector3& h, bool zeroDepthFloor) const {
    double g = CosA * h.X + SinA * h.Y;    // turn to the view azimuth
    double ut = -SinA * h.X + CosA * h.Y;
    double vt = SinB * g - CosB * h.Z;     // tilt to the view altitude
    double d = CosB * g + SinB * h.Z;
    if (d != 0.0) {
      point.X = Scale * vt / d;
      point.Y = Scale * ut / d;
      point.Z = d;
    } else {
      point.X = Scale * vt / 0.0001;
      point.Y = Scale * ut / 0.0001;
      point.Z = zeroDepthFloor ? 0.0001 : 0.0;
    }
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
