// The per-frame sky update: brings every drawable point of the model up to
// the observer's place, time and view (directions, precession to date,
// horizontal frame, visibility, screen offsets and depth), recomputes the
// label anchors of constellations and asterisms and the tracked direction.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <cmath>

#include "AstroMath.h"
#include "DateFrame.h"
#include "LabelAnchors.h"
#include "Refraction.h"
#include "SkyModel.h"
#include "SolarSystem.h"
#include "TimeScales.h"
#include "Topocentric.h"
#include "Transforms.h"

namespace {

// Half the width of the Moon's axis (ecliptic longitude), 5 degrees in radians.
constexpr double MoonAxisHalf = 0.08726646259971647;

bool ShownPoint(const TSkyPoint& p) { return p.Visible == 1 && p.Z >= 0; }

void Store(TSkyPoint& p, const TVector3& v) {
  p.X = v.X;
  p.Y = v.Y;
  p.Z = v.Z;
}

bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// Sets X, Y, Z of points first..last to their directions of date in two
// steps: `source` computes the directions in the catalogue's frame from
// Lon, Lat (a function of the places alone), `toDate` carries them to the
// day. Both results are kept in `memo`: while every place stays exactly the
// same the source directions are copied rather than computed, and while the
// day stays the same too, so are the directions of date.
template <class Source, class ToDate>
void DirectionsOfDate(std::span<TSkyPoint> points, int first, int last, double day,
                      TDatedDirections& memo, Source source, ToDate toDate) {
  first = std::max(first, 1);
  last = std::min(last, static_cast<int>(points.size()));
  if (last < first) return;
  const size_t n = static_cast<size_t>(last - first + 1);
  TSkyPoint* p = points.data() + (first - 1);
  bool samePlaces = memo.Valid && memo.Lon.size() == n;
  for (size_t i = 0; samePlaces && i < n; ++i)
    samePlaces = SameBits(p[i].Lon, memo.Lon[i]) && SameBits(p[i].Lat, memo.Lat[i]);
  if (samePlaces && SameBits(memo.Day, day)) {
    for (size_t i = 0; i < n; ++i) {
      p[i].X = memo.X[i];
      p[i].Y = memo.Y[i];
      p[i].Z = memo.Z[i];
    }
    return;
  }
  if (samePlaces) {
    for (size_t i = 0; i < n; ++i) {
      p[i].X = memo.SX[i];
      p[i].Y = memo.SY[i];
      p[i].Z = memo.SZ[i];
    }
  } else {
    source();
    for (auto* v : {&memo.Lon, &memo.Lat, &memo.SX, &memo.SY, &memo.SZ}) v->resize(n);
    for (size_t i = 0; i < n; ++i) {
      memo.Lon[i] = p[i].Lon;
      memo.Lat[i] = p[i].Lat;
      memo.SX[i] = p[i].X;
      memo.SY[i] = p[i].Y;
      memo.SZ[i] = p[i].Z;
    }
  }
  toDate();
  memo.Valid = true;
  memo.Day = day;
  for (auto* v : {&memo.X, &memo.Y, &memo.Z}) v->resize(n);
  for (size_t i = 0; i < n; ++i) {
    memo.X[i] = p[i].X;
    memo.Y[i] = p[i].Y;
    memo.Z[i] = p[i].Z;
  }
}

}  // namespace

void TSkyloom::UpdateSky() {
  // Screen centre, day count and sky rotation angle.
  CenterX = ScreenWidth / 2;
  CenterY = ScreenHeight / 2;
  DayNumber = static_cast<double>(DayCountOf(Year, Month, Day, Hour, Minute, TimeZone, Second));
  // The body table and the frame of the moment (kept while the clock stands).
  SolarSystemUpdate(BodyTable, DayNumber);
  const TDateFrame& frame = BodyTable.Frame;
  SiderealTime = static_cast<double>(RotationAngleOfSidereal(frame.ApparentSidereal, Longitude));
  const TProjection view = ProjectionOf(*this);
  const long double epsilon = frame.TrueObliquity;  // radians
  const int starCount = std::clamp(StarCount, 0, MaxStars);

  // Stars, J2000 -> apparent place of date -> screen.
  auto stars = PointsOf(Stars);
  DirectionsOfDate(
      stars, 1, starCount, DayNumber, StarsOfDate, [&] { SetDirections(stars, 1, starCount); },
      [&] { ApparentPlaces(stars, 1, starCount, frame); });
  ProjectPoints(stars, 1, starCount, view);

  // Constellation anchors, the mean of their stars on screen.
  for (int c = 1; c <= MaxConsts; ++c) ResetLabelAnchor(Consts[c]);
  for (int k = 1; k <= starCount; ++k) {
    const TSkyPoint& s = Stars[k];
    if (!ShownPoint(s) || s.Mag > StarLimit || s.Owner <= 0 || s.Owner > MaxConsts) continue;
    AddToLabelAnchor(Consts[s.Owner], s, *this);
  }

  // Asterism anchors, the mean of their line ends on screen (no star
  // limit); the table ends at the first entry out of bounds.
  for (int t = 1; t <= MaxOffices; ++t) ResetLabelAnchor(Offices[t]);
  for (int k = 1; k <= MaxLines; ++k) {
    const TLinePair& l = OfficeLines[k];
    if (l.StarA < 0 || l.StarA > StarCount || l.StarB < 0 || l.StarB > StarCount ||
        l.Owner < 0 || l.Owner > MaxOffices)
      break;
    const TSkyPoint& a = Stars[l.StarA];
    const TSkyPoint& b = Stars[l.StarB];
    if (!ShownPoint(a) || !ShownPoint(b) || l.Owner <= 0) continue;
    AddToLabelAnchor(Offices[l.Owner], a, *this);
    AddToLabelAnchor(Offices[l.Owner], b, *this);
  }

  // The ecliptic (true ecliptic of date -> true equator of date).
  auto ecliptic = PointsOf(NetLines[42]);
  for (TSkyPoint& p : ecliptic) Store(p, EclipticToEquatorial(SwappedDirectionOf(p.Lon, p.Lat), epsilon));
  ProjectPoints(ecliptic, 1, NetLinePoints, view);

  // The galactic equator (galactic plane -> J2000 -> of date).
  auto galactic = PointsOf(NetLines[43]);
  for (TSkyPoint& p : galactic) Store(p, GalacticToEquatorial(SwappedDirectionOf(p.Lon, p.Lat)));
  ApparentPlaces(galactic, 1, NetLinePoints, frame);
  ProjectPoints(galactic, 1, NetLinePoints, view);

  // The horizon, already horizontal (azimuth from south, altitude).
  for (TSkyPoint& p : PointsOf(Horizon)) {
    p.Visible = 1;
    ApplyView(p, DirectionOf(p.Lon, p.Lat), view, false);
  }

  // Grid circles (equator of date, no precession).
  for (int m = 1; m <= 41; ++m) {
    auto line = PointsOf(NetLines[m]);
    DirectionsOfDate(
        line, 1, NetLinePoints, DayNumber, GridOfDate[m],
        [&] { SetDirections(line, 1, NetLinePoints); }, [] {});
    ProjectPoints(line, 1, NetLinePoints, view);
  }

  // Grid labels (equatorial) and compass labels 1..4 (horizontal; their
  // Visible flag is left as it is).
  auto labels = PointsOf(Labels);
  SetDirections(labels, 1, MaxLabels);
  ProjectPoints(labels, 5, MaxLabels, view);
  for (int k = 1; k <= 4; ++k) ApplyView(Labels[k], DirectionOf(Labels[k].Lon, Labels[k].Lat), view, false);

  // The solar system, apparent right ascension and declination of date;
  // the Moon as seen from the observer on the WGS84 ellipsoid.
  MoonPhase = static_cast<double>(BodyTable.Body(BodyMoon).Phase);
  for (int j = 1; j <= BodyCount; ++j) {
    const TBodyState& b = BodyTable.Body(j);
    TSkyPoint& p = Planets[j];
    p.Lon = static_cast<double>(b.Lon);
    p.Lat = static_cast<double>(b.Lat);
    p.Mag = b.Mag10;
    p.Visible = 1;
  }
  const TTopocentric topo = TopocentricMoon(*this);
  Planets[BodyMoon].Lon = topo.Ra;
  Planets[BodyMoon].Lat = topo.Dec;
  auto planets = PointsOf(Planets);
  SetDirections(planets, 1, BodyCount);
  ProjectPoints(planets, 1, BodyCount, view);
  // The Sun and the Moon are up as soon as their upper limb is, by the
  // almanacs' rule: the limb is seen on the horizon when refraction lifts it
  // there from its true altitude (34.5' below for the standard atmosphere).
  const double sunRadius = SunSemiDiameter(static_cast<double>(BodyTable.Body(BodySun).Dist));
  const double moonRadius = MoonSemiDiameter(topo.Dist);
  const double horizonZ = view.Refraction ? view.Refraction->HorizonZ : 0.0;
  for (const auto& [j, radius] : {std::pair{BodySun, sunRadius}, std::pair{BodyMoon, moonRadius}}) {
    TSkyPoint& p = Planets[j];
    const TVector3 h = HorizontalDirection(p.Lon, p.Lat, SiderealTime, Latitude);
    const double limb = std::asin(std::clamp(h.Z, -1.0, 1.0)) + radius;
    p.Visible = VisibleFlag(std::sin(limb) - horizonZ, view.GroundShown);
  }

  // Two points on the Moon's ecliptic parallel, 5 degrees either side,
  // that orient its phase on screen.
  const TBodyState& moon = BodyTable.Body(BodyMoon);
  MoonAxis[1].Lon = static_cast<double>(moon.EclLon) - MoonAxisHalf;
  MoonAxis[2].Lon = static_cast<double>(moon.EclLon) + MoonAxisHalf;
  MoonAxis[1].Lat = MoonAxis[2].Lat = static_cast<double>(moon.EclLat);
  for (int i = 1; i <= 2; ++i)
    Store(MoonAxis[i], EclipticToEquatorial(DirectionOf(MoonAxis[i].Lon, MoonAxis[i].Lat), epsilon));
  ProjectPoints(PointsOf(MoonAxis), 1, 2, view);

  // Boundaries, equinox 1900.0 -> 2000.0 -> of date.
  auto bounds = PointsOf(Bounds);
  DirectionsOfDate(
      bounds, 1, MaxBounds, DayNumber, BoundsOfDate, [&] { SetDirections(bounds, 1, MaxBounds); },
      [&] {
        PrecessEpochs(bounds, 1, MaxBounds, 2000, 1900, DayNumber);
        ApparentPlaces(bounds, 1, MaxBounds, frame);
      });
  ProjectPoints(bounds, 1, MaxBounds, view);

  // Messier objects.
  auto messier = PointsOf(Messier);
  DirectionsOfDate(
      messier, 1, MaxMessier, DayNumber, MessierOfDate,
      [&] { SetDirections(messier, 1, MaxMessier); },
      [&] { ApparentPlaces(messier, 1, MaxMessier, frame); });
  ProjectPoints(messier, 1, MaxMessier, view);

  // The tracked object and its direction in the horizontal frame.
  if (Tracking) TargetDirection(TrackId);
  const TVector3 t = TargetSeen();
  TrackX = t.X;
  TrackY = t.Y;
  TrackZ = t.Z;
}

// Ids that name no object (below 1, 112..200, 601..1000, 1101..2000, beyond
// the stars) leave the target unchanged. Every direction is the one the
// update draws: the apparent place of date, like the object's own points.
void TSkyloom::TargetDirection(int id) {
  DayNumber = static_cast<double>(DayCountOf(Year, Month, Day, Hour, Minute, TimeZone, Second));
  auto ofDate = [&](double lon, double lat) {
    const TVector3 v = ApparentDirection(DirectionOf(lon, lat), DayNumber);
    TargetLon = LongitudeOf(v);
    TargetLat = LatitudeOf(v);
    TargetId = id;
  };
  if (id > StarIdBase) {
    if (id > StarIdBase + std::min(StarCount, MaxStars)) return;
    ofDate(Stars[id - StarIdBase].Lon, Stars[id - StarIdBase].Lat);  // J2000
    return;
  }
  if (id > 1000) {
    if (id > 1000 + MaxMessier) return;
    ofDate(Messier[id - 1000].Lon, Messier[id - 1000].Lat);  // J2000
    return;
  }
  if (id >= 101 && id <= 100 + BodyCount) {
    TargetLon = Planets[id - 100].Lon;  // of date, as the update left it
    TargetLat = Planets[id - 100].Lat;
    TargetId = id;
    return;
  }
  const TSkyObject* o = nullptr;
  if (id >= 1 && id <= MaxConsts) o = &Consts[id];
  else if (id >= 201 && id <= 200 + MaxOffices) o = &Offices[id - 200];
  if (!o) return;
  ofDate(o->Lon, o->Lat);  // label centre, J2000
}

// The target as the sky is drawn: the Moon's place in the body table is
// already the one seen from the observer, and refraction lifts the target as
// it lifts every drawn point.
TVector3 TSkyloom::TargetSeen() const {
  const TVector3 h = HorizontalDirection(TargetLon, TargetLat, SiderealTime, Latitude);
  return Refraction ? Refract(StandardRefraction(), h) : h;
}
