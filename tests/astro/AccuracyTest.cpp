// The body table against reference positions from an independent astronomy
// library (tests/astro/reference_positions.txt, written by
// tools/reference/make_astro_fixture.py): geometric geocentric places on the
// mean equator and equinox of date, and the same places on the J2000 equator.
//
// Three measures per body and date:
// - series: for the Sun and planets the reference's J2000 place carried to
//   the date by the system's own rule (the rule of the stars); the Moon's
//   place of date as it is. This isolates the series and the reduction.
// - of date: the reference's own place of date. The system's precession is a
//   simple rotation; between 1800 and 2100 it stays within a few arc seconds,
//   and the Sun and planets must agree within 1 arc minute, the Moon within 2.
// - among the stars: the reference's J2000 place carried to the date as
//   every star is (PrecessToDate), i.e. how far a body is drawn from where it
//   stands among the drawn stars; for the Sun and planets this is the series
//   measure itself.
// Far from the present the theories drift; there the bounds only catch gross
// faults, and Pluto (whose reference theory holds only near the present) is
// compared between 1800 and 2100 alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SolarSystem.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

struct TReference {
  double Jd;
  int Body;
  double Ra, Dec, Dist, Ra2000, Dec2000;
};

std::vector<TReference> LoadReference() {
  std::vector<TReference> rows;
  std::ifstream in(SKYLOOM_SOURCE_DIR "/tests/astro/reference_positions.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    TReference r{};
    if (fields >> r.Jd >> r.Body >> r.Ra >> r.Dec >> r.Dist >> r.Ra2000 >> r.Dec2000)
      rows.push_back(r);
  }
  return rows;
}

// Angle between two directions given as (RA, Dec), arc seconds.
double SeparationArcsec(double ra1, double dec1, double ra2, double dec2) {
  double x = std::cos(dec1) * std::cos(ra1) - std::cos(dec2) * std::cos(ra2);
  double y = std::cos(dec1) * std::sin(ra1) - std::cos(dec2) * std::sin(ra2);
  double z = std::sin(dec1) - std::sin(dec2);
  double chord = std::sqrt(x * x + y * y + z * z);
  return 2.0 * std::asin(chord / 2.0) * 206264.80624709636;
}

// Eras by the Julian Day: before 1800, 1800-2100, after 2100.
enum TEra { Early = 0, Modern = 1, Late = 2 };
TEra EraOf(double jd) {
  if (jd < 2378496.5) return Early;    // 1800-01-01
  if (jd <= 2488069.5) return Modern;  // 2101-01-01
  return Late;
}

// Bounds in arc seconds per era, [Sun and planets, Moon].
constexpr double SeriesBound[3][2] = {{900.0, 300.0}, {60.0, 120.0}, {600.0, 300.0}};
constexpr double OfDateBound[3][2] = {{3600.0, 300.0}, {60.0, 120.0}, {1800.0, 300.0}};
constexpr double StarsBound[3][2] = {{3600.0, 1800.0}, {60.0, 120.0}, {1800.0, 900.0}};

// The system's rule for the Sun and the planets: the J2000 place carried to
// the date exactly as a star is.
TVector3 SeriesFrameOf(double ra2000, double dec2000, double d) {
  return PrecessDirectionToDate(DirectionOf(ra2000, dec2000), d);
}

const char* const BodyLabel[11] = {"",        "Sun",    "Moon",   "Mercury", "Venus", "Mars",
                                   "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"};

TEST(Accuracy, BodyTableAgreesWithIndependentReference) {
  std::vector<TReference> rows = LoadReference();
  ASSERT_GE(rows.size(), 200u) << "reference fixture missing or short";

  double worstSeries[11][3] = {}, worstOfDate[11][3] = {}, worstStars[11][3] = {};
  int dates[3] = {};
  double lastJd = -1;
  for (const TReference& r : rows) {
    const double d = r.Jd - static_cast<double>(JulianDayOfDayZero);
    if (r.Jd != lastJd) {
      SolarSystemUpdate(d);
      lastJd = r.Jd;
      ++dates[EraOf(r.Jd)];
    }
    ASSERT_GE(r.Body, 1);
    ASSERT_LE(r.Body, 10);
    const TEra era = EraOf(r.Jd);
    if (r.Body == BodyPluto && era != Modern) continue;
    const TBodyState& b = Body(r.Body);
    const double ra = static_cast<double>(b.Lon), dec = static_cast<double>(b.Lat);
    const int kind = r.Body == BodyMoon ? 1 : 0;

    const double ofDate = SeparationArcsec(ra, dec, r.Ra, r.Dec);
    double series = ofDate;
    if (r.Body != BodyMoon) {
      const TVector3 v = SeriesFrameOf(r.Ra2000, r.Dec2000, d);
      series = SeparationArcsec(ra, dec, LongitudeOf(v), LatitudeOf(v));
    }
    const TVector3 star = PrecessDirectionToDate(DirectionOf(r.Ra2000, r.Dec2000), d);
    const double amongStars = SeparationArcsec(ra, dec, LongitudeOf(star), LatitudeOf(star));
    worstSeries[r.Body][era] = std::max(worstSeries[r.Body][era], series);
    worstOfDate[r.Body][era] = std::max(worstOfDate[r.Body][era], ofDate);
    worstStars[r.Body][era] = std::max(worstStars[r.Body][era], amongStars);
    EXPECT_LT(series, SeriesBound[era][kind]) << BodyLabel[r.Body] << " at JD " << r.Jd;
    EXPECT_LT(ofDate, OfDateBound[era][kind]) << BodyLabel[r.Body] << " at JD " << r.Jd;
    EXPECT_LT(amongStars, StarsBound[era][kind]) << BodyLabel[r.Body] << " at JD " << r.Jd;

    // Distances: AU for the Sun and planets, Earth radii for the Moon.
    double dist = static_cast<double>(b.Dist);
    if (r.Body == BodyMoon) dist /= static_cast<double>(EarthRadiiPerAU);
    EXPECT_NEAR(dist / r.Dist, 1.0, era == Modern ? 1e-4 : 1e-3)
        << BodyLabel[r.Body] << " distance at JD " << r.Jd;
  }
  EXPECT_GE(dates[Early] + dates[Modern] + dates[Late], 20);
  EXPECT_GT(dates[Modern], dates[Early] + dates[Late]);

  std::printf("worst separation from the reference, arc seconds; dates %d / %d / %d\n",
              dates[Early], dates[Modern], dates[Late]);
  const double (*tables[3])[3] = {worstSeries, worstOfDate, worstStars};
  std::printf("%-8s | %-23s | %-23s | %-23s\n", "", "series", "of date", "among the stars");
  std::printf("%-8s |", "body");
  for (int t = 0; t < 3; ++t) std::printf(" %7s %7s %7s |", "-1000..", "1800..", "2101..");
  std::printf("\n");
  for (int i = 1; i <= 10; ++i) {
    std::printf("%-8s |", BodyLabel[i]);
    for (int t = 0; t < 3; ++t)
      std::printf(" %7.1f %7.1f %7.1f |", tables[t][i][Early], tables[t][i][Modern],
                  tables[t][i][Late]);
    std::printf("\n");
  }
}

}  // namespace
