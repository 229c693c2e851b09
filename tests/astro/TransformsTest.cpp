// Angle reductions, frame rotations, precession and the projection.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "DateFrame.h"
#include "DeltaT.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Deg = Pi / 180;

TEST(Transforms, AngleReductions) {
  struct TCase {
    double In, Angle, Signed;
  } cases[] = {
      {-0.1, 2 * Pi - 0.1, -0.1},
      {2 * Pi, 2 * Pi, 0.0},  // 2 pi itself is kept by NormalizeAngle
      {7.0, 7.0 - 2 * Pi, 7.0 - 2 * Pi},
      {3 * Pi / 2, 3 * Pi / 2, -Pi / 2},
      {-Pi, Pi, -Pi},
      {Pi, Pi, Pi},
      {-20.0, -20.0 + 8 * Pi, -20.0 + 6 * Pi},
  };
  for (const TCase& c : cases) {
    EXPECT_NEAR(NormalizeAngle(c.In), c.Angle, 1e-15) << c.In;
    EXPECT_NEAR(NormalizeSigned(c.In), c.Signed, 1e-14) << c.In;
  }
  EXPECT_EQ(NormalizeAngle(2 * Pi), 2 * Pi);
  EXPECT_EQ(NormalizeSigned(-Pi), -Pi);
}

TEST(Transforms, ReductionsOfHugeOrInvalidAnglesEnd) {
  // A step-wise reduction would never end on these.
  for (double x : {1e300, -1e300, 1e17, std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN()}) {
    double a = NormalizeAngle(x), s = NormalizeSigned(x);
    EXPECT_TRUE(a >= 0 && a <= 2 * Pi) << x;
    EXPECT_TRUE(s >= -Pi && s <= Pi) << x;
  }
}

TEST(Transforms, AngleOfCoversTheFullCircle) {
  struct TCase {
    double X, Y, Angle;
  } cases[] = {
      {0, 0, 0},           {1, 0, 0},          {0, 1, Pi / 2},      {-1, 0, Pi},
      {0, -1, 3 * Pi / 2}, {-1, -1, 5 * Pi / 4}, {1, -1, 7 * Pi / 4}, {-1, 1, 3 * Pi / 4},
  };
  for (const TCase& c : cases) EXPECT_NEAR(AngleOf(c.X, c.Y), c.Angle, 1e-15) << c.X << "," << c.Y;
  // Arcsine and arccosine a rounding step beyond the range.
  EXPECT_NEAR(ArcSin(1.0 + 1e-15), Pi / 2, 1e-15);
  EXPECT_NEAR(ArcCos(-1.0 - 1e-15), Pi, 1e-15);
  EXPECT_NEAR(ArcSin(0.5), Pi / 6, 1e-15);
}

TEST(Transforms, DirectionsRoundTrip) {
  for (double lon : {0.0, 1.0, 3.0, 5.5})
    for (double lat : {-1.2, 0.0, 0.7}) {
      TVector3 v = DirectionOf(lon, lat);
      EXPECT_NEAR(LongitudeOf(v), lon, 1e-14);
      EXPECT_NEAR(LatitudeOf(v), lat, 1e-14);
      TVector3 w = SwappedDirectionOf(lon, lat);
      EXPECT_NEAR(w.X, v.Y, 1e-15);
      EXPECT_NEAR(w.Y, v.X, 1e-15);
    }
}

TEST(Transforms, EclipticAndGalacticFrames) {
  const double eps = 23.4393 * Deg;
  // The ecliptic pole lies at RA 18h, Dec 90 - epsilon; the summer solstice at RA 6h.
  TVector3 pole = EclipticToEquatorial({0, 0, 1}, eps);
  EXPECT_NEAR(LongitudeOf(pole), 1.5 * Pi, 1e-14);
  EXPECT_NEAR(LatitudeOf(pole), Pi / 2 - eps, 1e-14);
  TVector3 solstice = EclipticToEquatorial(DirectionOf(Pi / 2, 0), eps);
  EXPECT_NEAR(LongitudeOf(solstice), Pi / 2, 1e-14);
  EXPECT_NEAR(LatitudeOf(solstice), eps, 1e-14);
  // The galactic north pole: RA 192.86, Dec 27.13 degrees (J2000), to the
  // precision of the whole-degree rotation angles.
  TVector3 gnp = GalacticToEquatorial(SwappedDirectionOf(0, Pi / 2));
  EXPECT_NEAR(LongitudeOf(gnp) / Deg, 192.86, 0.5);
  EXPECT_NEAR(LatitudeOf(gnp) / Deg, 27.13, 0.2);
}

std::vector<TSkyPoint> PointsAt(const std::vector<TVector3>& dirs) {
  std::vector<TSkyPoint> points(dirs.size());
  for (size_t i = 0; i < dirs.size(); ++i) {
    points[i].X = dirs[i].X;
    points[i].Y = dirs[i].Y;
    points[i].Z = dirs[i].Z;
  }
  return points;
}

TEST(Transforms, ApparentPlaceOfAStarAndPrecessionBetweenEpochs) {
  // Example 23.a of J. Meeus, Astronomical Algorithms (2nd ed.): theta
  // Persei, J2000 place 2h44m11.986s +49 13' 42.48", proper motion
  // +0.03425 s and -0.0895" a year; at 2028 Nov 13.19 TD (JDE 2462088.69)
  // its apparent place is 2h46m14.390s +49 21' 07.45".
  const double years = (2462088.69 - 2451545.0) / 365.25;
  const double ra0 = (2 + 44 / 60.0 + (11.986 + 0.03425 * years) / 3600) * 15 * Deg;
  const double dec0 = (49 + 13 / 60.0 + (42.48 - 0.0895 * years) / 3600) * Deg;
  const double dt = DeltaTSeconds(DecimalYearOfJulianDay(2462088.69));
  const TDateFrame frame =
      DateFrameOf(2462088.69 - dt / 86400 - static_cast<double>(JulianDayOfDayZero));
  std::vector<TSkyPoint> points = PointsAt({DirectionOf(ra0, dec0)});
  ApparentPlaces(points, 1, 1, frame);
  const TVector3 v{points[0].X, points[0].Y, points[0].Z};
  EXPECT_NEAR(LongitudeOf(v) / Deg * 3600, (2 + 46 / 60.0 + 14.390 / 3600) * 15 * 3600, 0.5 * 15);
  EXPECT_NEAR(LatitudeOf(v) / Deg * 3600, (49 + 21 / 60.0 + 7.45 / 3600) * 3600, 0.5);
  EXPECT_NEAR(std::hypot(std::hypot(v.X, v.Y), v.Z), 1.0, 1e-15);

  // 1900 -> 2000 is the precession of 100 tropical years.
  std::vector<TSkyPoint> a = PointsAt({{0.3, -0.5, 0.8124}});
  PrecessEpochs(a, 1, 1, 2000, 1900, 500);
  long double p = 100.0L * 365.2422L * 3.82394e-5L * 3.141592653589793238L / 180.0L;
  TVector3 b = PrecessDirection({0.3, -0.5, 0.8124}, p, Obliquity(500));
  EXPECT_NEAR(a[0].X, b.X, 1e-15);
  EXPECT_NEAR(a[0].Y, b.Y, 1e-15);
  EXPECT_NEAR(a[0].Z, b.Z, 1e-15);
}

TEST(Transforms, PointRangesStayInsideTheTable) {
  std::vector<TSkyPoint> points = PointsAt({{1, 0, 0}, {0, 1, 0}});
  std::vector<TSkyPoint> before = points;
  ApparentPlaces(points, 2, 1, DateFrameOf(36525));  // last < first: nothing
  EXPECT_EQ(points[0].X, before[0].X);
  EXPECT_EQ(points[1].Y, before[1].Y);
  // Ranges beyond the table are clipped to it.
  TProjection view;
  view.Scale = 400;
  ProjectPoints(points, -5, 99, view);
  SetDirections(points, 0, 1000);
  PrecessEpochs(points, -1, 3, 2000, 1900, 0);
  SUCCEED();
}

// With sky rotation 0 and the observer on the equator (sines and cosines
// exactly 0 and 1), the horizontal (S, E, U) is the equatorial (U, E, -S).
TVector3 EqOf(double s, double e, double u) { return {u, e, -s}; }

TProjection PoleView(double az, double alt, bool ground) {
  TProjection v;
  v.SiderealTime = 0;
  v.Latitude = 0;
  v.ViewAz = az;
  v.ViewAlt = alt;
  v.Scale = 533;
  v.GroundShown = ground;
  return v;
}

TEST(Transforms, HorizontalFrameAndVisibility) {
  // The celestial pole stands at the latitude above the north point for any Theta.
  for (double theta : {0.0, 1.0, -60220.149046644001}) {
    TVector3 h = HorizontalOf({0, 0, 1}, theta, 40 * Deg);
    EXPECT_NEAR(h.Z, std::sin(40 * Deg), 1e-15);
    EXPECT_NEAR(h.X, -std::cos(40 * Deg), 1e-15);
    EXPECT_NEAR(h.Y, 0, 1e-15);
  }
  TVector3 h = HorizontalDirection(0.3, 0.2, 1.1, 0.6);
  TVector3 g = HorizontalOf(DirectionOf(0.3, 0.2), 1.1, 0.6);
  EXPECT_EQ(h.X, g.X);
  EXPECT_EQ(h.Z, g.Z);

  struct TCase {
    double U;
    bool Ground;
    int Visible;
  } cases[] = {{0.5, true, 1}, {0.0, true, 1}, {-0.01, true, 0}, {-0.01, false, 1}, {0.5, false, 1}};
  for (const TCase& c : cases) {
    EXPECT_EQ(VisibleFlag(c.U, c.Ground), c.Visible) << c.U << " ground " << c.Ground;
    std::vector<TSkyPoint> p = PointsAt({EqOf(std::sqrt(1 - c.U * c.U), 0, c.U)});
    ProjectPoints(p, 1, 1, PoleView(0, 0, c.Ground));
    EXPECT_EQ(p[0].Visible, c.Visible);
  }
}

TEST(Transforms, ViewRotationAndPerspective) {
  const double s45 = std::sqrt(0.5);
  std::vector<TSkyPoint> p = PointsAt({
      EqOf(1, 0, 0),      // due south on the horizon: the centre
      EqOf(s45, s45, 0),  // 45 degrees east of south: Scale to the left
      EqOf(0, 0, 1),      // zenith: 90 degrees from the view, depth exactly 0
      EqOf(-1, 0, 0),     // due north: behind the viewer
  });
  ProjectPoints(p, 1, 4, PoleView(0, 0, false));
  EXPECT_NEAR(p[0].X, 0, 1e-12);
  EXPECT_NEAR(p[0].Y, 0, 1e-12);
  EXPECT_NEAR(p[0].Z, 1, 1e-15);
  EXPECT_NEAR(p[1].Y, 533, 1e-9);  // screen x = cx - Y
  EXPECT_NEAR(p[1].X, 0, 1e-9);
  EXPECT_EQ(p[2].Z, 0.0001);
  EXPECT_NEAR(p[2].X, -533 / 0.0001, 1e-3);  // above the centre: screen y = cy + X
  EXPECT_LT(p[3].Z, 0);

  // Looking east and 30 degrees up, a point there is the centre.
  const TVector3 east30 = DirectionOf(Pi / 2, 30 * Deg);  // (S, E, U)
  std::vector<TSkyPoint> q = PointsAt({EqOf(east30.X, east30.Y, east30.Z)});
  ProjectPoints(q, 1, 1, PoleView(Pi / 2, 30 * Deg, true));
  EXPECT_NEAR(q[0].X, 0, 1e-9);
  EXPECT_NEAR(q[0].Y, 0, 1e-9);
  EXPECT_NEAR(q[0].Z, 1, 1e-15);

  // Applied directly (horizon, compass labels, the Moon) a zero depth stays 0.
  TSkyPoint r;
  ApplyView(r, {0, 0, 1}, PoleView(0, 0, false), false);
  EXPECT_EQ(r.Z, 0.0);
  EXPECT_NEAR(r.X, -533 / 0.0001, 1e-3);
}

TEST(Transforms, ProjectionReadsTheModel) {
  auto sky = std::make_unique<TSkyloom>();
  sky->SiderealTime = 1.5;
  sky->Latitude = 0.7;
  sky->ViewAz = 0.2;
  sky->ViewAlt = 0.3;
  sky->Scale = 533;
  sky->ShowFlags = SkyBits::Ground;
  TProjection v = ProjectionOf(*sky);
  EXPECT_EQ(v.SiderealTime, 1.5);
  EXPECT_EQ(v.Latitude, 0.7);
  EXPECT_EQ(v.ViewAz, 0.2);
  EXPECT_EQ(v.ViewAlt, 0.3);
  EXPECT_EQ(v.Scale, 533);
  EXPECT_TRUE(v.GroundShown);
  sky->ShowFlags = SkyBits::Grid;
  EXPECT_FALSE(ProjectionOf(*sky).GroundShown);
}

}  // namespace
