// Angle reductions, direction vectors and the frame rotations up to the
// equator of date (ecliptic, galactic plane, precession).
#include "Transforms.h"

#include <algorithm>
#include <cmath>

#include "AstroMath.h"
#include "TimeScales.h"

namespace astro_detail {

namespace {
constexpr long double TwoPiL = 2.0L * Pi;
// Beyond this size the step-wise reduction would take too long (or forever,
// for values whose last place exceeds 2 pi); such values are first cut down
// with fmod, which gives the same result for every finite input.
constexpr long double StepLimit = 1.0e6L;
}  // namespace

long double NormalizeAngleL(long double x) {
  if (!std::isfinite(x)) return 0.0L;
  if (std::fabs(x) > StepLimit) x = std::fmod(x, TwoPiL);
  while (x > TwoPiL) x -= TwoPiL;
  while (x < 0.0L) x += TwoPiL;
  return x;
}

long double NormalizeSignedL(long double x) {
  if (!std::isfinite(x)) return 0.0L;
  if (std::fabs(x) > StepLimit) x = std::fmod(x, TwoPiL);
  while (x > Pi) x -= TwoPiL;
  while (x < -Pi) x += TwoPiL;
  return x;
}

long double AngleOfL(long double x, long double y) {
  long double a;
  if (x > 0.0L) {
    a = std::atan(y / x);
  } else if (x == 0.0L) {
    a = y > 0.0L ? Pi / 2.0L : (y < 0.0L ? 3.0L * Pi / 2.0L : 0.0L);
  } else if (x < 0.0L) {
    if (y > 0.0L) a = std::atan(y / x) + Pi;
    else if (y < 0.0L) a = std::atan(y / x) - Pi;
    else a = -Pi;
  } else {
    a = 0.0L;  // NaN input
  }
  return NormalizeAngleL(a);
}

long double ArcSinL(long double v) {
  return std::atan2(v, std::sqrt(std::max(0.0L, 1.0L - v * v)));
}

long double ArcCosL(long double v) {
  return std::atan2(std::sqrt(std::max(0.0L, 1.0L - v * v)), v);
}

}  // namespace astro_detail

using namespace astro_detail;

double NormalizeAngle(double x) { return static_cast<double>(NormalizeAngleL(x)); }
double NormalizeSigned(double x) { return static_cast<double>(NormalizeSignedL(x)); }
double AngleOf(double x, double y) { return static_cast<double>(AngleOfL(x, y)); }
double ArcSin(double v) { return static_cast<double>(ArcSinL(v)); }
double ArcCos(double v) { return static_cast<double>(ArcCosL(v)); }

TVector3 DirectionOf(double a, double b) {
  double cb = std::cos(b);
  return {std::cos(a) * cb, std::sin(a) * cb, std::sin(b)};
}

TVector3 SwappedDirectionOf(double a, double b) {
  double cb = std::cos(b);
  return {std::sin(a) * cb, std::cos(a) * cb, std::sin(b)};
}

double LongitudeOf(const TVector3& v) { return AngleOf(v.X, v.Y); }

double LatitudeOf(const TVector3& v) {
  return NormalizeSigned(AngleOf(std::sqrt(v.X * v.X + v.Y * v.Y), v.Z));
}

TVector3 EclipticToEquatorial(const TVector3& v, long double epsilon) {
  long double ce = std::cos(epsilon);
  long double se = std::sin(epsilon);
  return {v.X, static_cast<double>(ce * v.Y - se * v.Z), static_cast<double>(se * v.Y + ce * v.Z)};
}

TVector3 GalacticToEquatorial(const TVector3& v) {
  long double ci = std::cos(static_cast<long double>(GalacticInclination));
  long double si = std::sin(static_cast<long double>(GalacticInclination));
  long double cn = std::cos(static_cast<long double>(GalacticNode));
  long double sn = std::sin(static_cast<long double>(GalacticNode));
  // About X by the inclination, then about Z by the node.
  long double y1 = ci * v.Y - si * v.Z;
  long double z1 = si * v.Y + ci * v.Z;
  long double x2 = cn * v.X - sn * y1;
  long double y2 = sn * v.X + cn * y1;
  return {static_cast<double>(x2), static_cast<double>(y2), static_cast<double>(z1)};
}

namespace {

// Sines and cosines of one precession, computed once per point range.
struct TPrecession {
  long double Cp, Sp, Ce, Se;
  TPrecession(long double p, long double epsilon)
      : Cp(std::cos(p)), Sp(std::sin(p)), Ce(std::cos(epsilon)), Se(std::sin(epsilon)) {}

  TVector3 Apply(const TVector3& v) const {
    // To the ecliptic frame, turn about its pole by p, back to the equator.
    long double ye = Ce * v.Y + Se * v.Z;
    long double ze = -Se * v.Y + Ce * v.Z;
    long double x1 = v.X * Cp - ye * Sp;
    long double y1 = v.X * Sp + ye * Cp;
    return {static_cast<double>(x1), static_cast<double>(Ce * y1 - Se * ze),
            static_cast<double>(Se * y1 + Ce * ze)};
  }
};

// Clips first..last (1-based) to the span; returns false when empty.
bool ClipRange(std::span<TSkyPoint> points, int& first, int& last) {
  first = std::max(first, 1);
  last = std::min(last, static_cast<int>(points.size()));
  return last >= first;
}

void PrecessRange(std::span<TSkyPoint> points, int first, int last, long double p,
                  long double epsilon) {
  if (!ClipRange(points, first, last)) return;
  TPrecession prec(p, epsilon);
  for (int i = first; i <= last; ++i) {
    TSkyPoint& pt = points[static_cast<size_t>(i - 1)];
    TVector3 v = prec.Apply({pt.X, pt.Y, pt.Z});
    pt.X = v.X;
    pt.Y = v.Y;
    pt.Z = v.Z;
  }
}

}  // namespace

TVector3 PrecessDirection(const TVector3& v, long double p, long double epsilon) {
  return TPrecession(p, epsilon).Apply(v);
}

void SetDirections(std::span<TSkyPoint> points, int first, int last) {
  if (!ClipRange(points, first, last)) return;
  for (int i = first; i <= last; ++i) {
    TSkyPoint& pt = points[static_cast<size_t>(i - 1)];
    TVector3 v = DirectionOf(pt.Lon, pt.Lat);
    pt.X = v.X;
    pt.Y = v.Y;
    pt.Z = v.Z;
  }
}

void PrecessEpochs(std::span<TSkyPoint> points, int first, int last, double toYear,
                   double fromYear, double dayNumber) {
  long double years = static_cast<long double>(toYear) - static_cast<long double>(fromYear);
  long double p = years * TropicalYear * PrecessionPerDay * Pi / 180.0L;
  PrecessRange(points, first, last, p, Obliquity(dayNumber));
}
