// Angle reductions and the rotations that carry a direction from the frame it
// is stored in (equatorial J2000, ecliptic, galactic plane, equinox 1900.0)
// to the equator of date and on to the observer's horizontal frame
// (S toward the south point, E toward the east point, U toward the zenith),
// followed by the view rotation and the perspective scaling.
//
// Angles are radians. The point-range operations work in place on records
// first..last (1-based, inclusive) of a TSkyPoint table; last < first does
// nothing and indices outside the table are clipped to it.
#pragma once

#include <cstdint>
#include <span>

#include "Angles.h"
#include "SkyModel.h"

struct TVector3 {
  double X = 0, Y = 0, Z = 0;
};

// Full-circle arctangent of the point (x, y), in [0, 2 pi]; the origin gives 0.
double AngleOf(double x, double y);
// Arcsine and arccosine taken as arctangents (no domain error just beyond +-1).
double ArcSin(double v);
double ArcCos(double v);

// Unit vector of a longitude-like angle a and a latitude-like angle b:
// (cos a cos b, sin a cos b, sin b).
TVector3 DirectionOf(double a, double b);
// The same with the first two components exchanged (sin a cos b, cos a cos b,
// sin b), as the ecliptic and galactic circles are formed.
TVector3 SwappedDirectionOf(double a, double b);
// Longitude-like and latitude-like angles of a vector: AngleOf(X, Y) and
// NormalizeSigned(AngleOf(sqrt(X^2 + Y^2), Z)).
double LongitudeOf(const TVector3& v);
double LatitudeOf(const TVector3& v);

// Rotation about the X axis by the obliquity epsilon (radians): ecliptic to
// equatorial of the same equinox.
TVector3 EclipticToEquatorial(const TVector3& v, long double epsilon);

// Galactic-plane direction (formed with SwappedDirectionOf) to equatorial
// J2000: 63 degrees about X, then 283 degrees about Z.
constexpr double GalacticInclination = 1.0995574287564276;  // 63 degrees
constexpr double GalacticNode = 4.939281783143953;          // 283 degrees
TVector3 GalacticToEquatorial(const TVector3& v);

// Precession of one equatorial direction by the ecliptic-longitude angle p
// (radians) about the ecliptic pole, with the obliquity epsilon on both legs.
TVector3 PrecessDirection(const TVector3& v, long double p, long double epsilon);

// Point-range forms. SetDirections writes X, Y, Z from Lon, Lat.
void SetDirections(std::span<TSkyPoint> points, int first, int last);
// (The apparent places of date are formed in DateFrame.h.)
// Precess by the years between two epochs (fromYear -> toYear, as doubles),
// with the obliquity of the UT day count dayNumber on both legs.
void PrecessEpochs(std::span<TSkyPoint> points, int first, int last, double toYear,
                   double fromYear, double dayNumber);

struct TRefraction;

// The observer and the view, as the projection reads them from the model.
struct TProjection {
  double SiderealTime = 0;  // sky rotation angle Theta, radians
  double Latitude = 0;      // radians, north positive
  double ViewAz = 0;        // radians from south through east
  double ViewAlt = 0;       // radians
  double Scale = 0;         // pixels per unit of tangent
  double Bend = 1;          // 1 gnomonic, 2 stereographic (ProjectionBend)
  bool GroundShown = false; // ShowFlags bit 0x10000: hide points below the horizon
  const TRefraction* Refraction = nullptr;  // the atmosphere's lift; null = none
};
TProjection ProjectionOf(const TSkyloom& sky);

// The projection of a field of view (degrees across the sky area's width).
// A point at angle t from the view's centre lies Scale * k * tan(t / k)
// pixels from the centre, with the bend k = ProjectionBend(field): 1 (the
// gnomonic perspective) up to 90 degrees, rising smoothly to 2 (the
// stereographic projection, in which 180 degrees fit) at 150 degrees.
// Both k and Scale change continuously with the field, so zooming through
// the change shows no jump; at the default field the picture is the plain
// perspective of Scale = two thirds of the width.
double ProjectionBend(double fieldDeg);
// Pixels per unit: the sky area's half width over k tan(field / 2k),
// rounded down (two thirds of the width at the default field).
int32_t ScaleForField(double fieldDeg, int width);
// Clamps sky.FieldOfView to its range and sets sky.Scale from it and the
// sky area's width.
void ApplyFieldOfView(TSkyloom& sky);
// Largest angle from the view's centre (radians) drawn at bend k: 90
// degrees for the perspective, 120 for the stereographic projection.
double ReachOfBend(double bend);
// The horizontal direction (S, E, U, unit) seen at the screen offset
// (u, v) from the centre (u the projection's Y, v its X, pixels): the
// inverse of ApplyView for the projection in use.
TVector3 HorizontalAtOffset(const TProjection& view, double u, double v);
// The horizontal direction under the screen point (x, y) of the sky area.
TVector3 HorizontalAtScreen(const TSkyloom& sky, double x, double y);
// Turns the view (ViewAz, ViewAlt) so that the horizontal direction `held`
// appears at the screen point (x, y); the altitude stays within the
// turning limits (not below the horizon with the ground on). True when
// the point lands within half a pixel.
bool HoldUnderPointer(TSkyloom& sky, const TVector3& held, double x, double y);

// Horizontal frame (S, E, U) of an equatorial-of-date vector.
TVector3 HorizontalOf(const TVector3& v, double siderealTime, double latitude);
// One (RA, Dec) of date to (S, E, U): no visibility, no view.
TVector3 HorizontalDirection(double ra, double dec, double siderealTime, double latitude);
TVector3 HorizontalDirection(double ra, double dec, const TSkyloom& sky);
// Visibility of a horizontal vector: 1 when U >= 0, else 0 with the ground shown.
uint8_t VisibleFlag(double u, bool groundShown);

// View rotation and perspective of a horizontal vector (S, E, U) into the
// record's X (vertical offset v), Y (horizontal offset u) and Z (depth d).
// A depth of exactly 0 divides by 1e-4 instead; with zeroDepthFloor the
// stored depth then also becomes 1e-4 (the projection of point tables),
// without it the depth stays 0 (the horizon, compass labels and the Moon).
void ApplyView(TSkyPoint& point, const TVector3& horizontal, const TProjection& view,
               bool zeroDepthFloor = true);

// Equatorial direction in X, Y, Z -> horizontal -> refraction -> Visible
// (apparent altitude) -> view -> X, Y, Z.
void ProjectPoints(std::span<TSkyPoint> points, int first, int last, const TProjection& view);
void ProjectPoints(std::span<TSkyPoint> points, int first, int last, const TSkyloom& sky);

// Whole-table conveniences for the model's Table1 tables.
template <int N>
std::span<TSkyPoint> PointsOf(Table1<TSkyPoint, N>& table) {
  return std::span<TSkyPoint>(table.data(), static_cast<size_t>(N));
}
