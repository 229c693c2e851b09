// Reductions, multiple angles, the planet, Earth and Moon series.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "Moon.h"
#include "Planets.h"

namespace {

TEST(Series, Reductions) {
  struct TCase {
    long double In, Expected;
  } arcsec[] = {{-10, -10},           {1296001, 1},         {-1296001, 1295999},
                {1295999, 1295999},   {1296000, 0},         {-1296000, 0},
                {3 * 1296000.0L + 5, 5}, {-3 * 1296000.0L - 5, 1295995}};
  for (const TCase& c : arcsec)
    EXPECT_NEAR(static_cast<double>(ReduceArcsec(c.In)), static_cast<double>(c.Expected), 1e-9)
        << static_cast<double>(c.In);

  const long double twoPi = TwoPi;
  TCase mod[] = {{-0.5L, twoPi - 0.5L}, {0.5L, 0.5L}, {twoPi + 1, 1}, {-twoPi - 1, twoPi - 1}};
  for (const TCase& c : mod)
    EXPECT_NEAR(static_cast<double>(Mod2Pi(c.In)), static_cast<double>(c.Expected), 1e-15);
  TCase smod[] = {{-7, -7 + twoPi}, {-0.5L, -0.5L}, {7, 7 - twoPi}, {-3 * twoPi - 1, -1}};
  for (const TCase& c : smod)
    EXPECT_NEAR(static_cast<double>(SignedMod2Pi(c.In)), static_cast<double>(c.Expected), 1e-14);
}

TEST(Series, MultipleAngles) {
  TMultipleAngles w{};
  const long double arg = 0.7345L;
  FillMultiples(w, 3, arg, 29);
  for (int j = 0; j < 29; ++j) {
    EXPECT_NEAR(w.Sin[3][j], std::sin((j + 1) * 0.7345), 1e-13) << j;
    EXPECT_NEAR(w.Cos[3][j], std::cos((j + 1) * 0.7345), 1e-13) << j;
  }
  // One multiple still fills the second.
  w.Sin[5][1] = w.Cos[5][1] = 99;
  FillMultiples(w, 5, 0.3L, 1);
  EXPECT_NEAR(w.Sin[5][1], std::sin(0.6), 1e-15);
  EXPECT_NEAR(w.Cos[5][1], std::cos(0.6), 1e-15);
  // Out-of-range rows and counts are ignored or clipped.
  FillMultiples(w, -1, 0.3L, 5);
  FillMultiples(w, MaxArguments, 0.3L, 5);
  FillMultiples(w, 6, 0.3L, 1000);
  EXPECT_NEAR(w.Sin[6][28], std::sin(29 * 0.3), 1e-13);
}

TEST(Series, PublishedTablesAreCompiledIn) {
  struct TCase {
    const TPlanetTable* Table;
    signed char MaxHarmonic[9];
    int Terms, Coefs;
    double Distance;
  } cases[] = {
      {&MercuryTable, {11, 14, 10, 11, 4, 5, 2, 0, 0}, 129, 400, 0.3870983098},
      {&VenusTable, {5, 14, 13, 8, 4, 5, 1, 0, 0}, 107, 284, 0.72332982},
      {&MarsTable, {0, 5, 12, 24, 9, 7, 3, 2, 0}, 200, 677, 1.53033488271},
      {&JupiterTable, {0, 0, 1, 0, 9, 16, 7, 5, 0}, 141, 595, 5.2026032092},
      {&SaturnTable, {0, 0, 1, 0, 8, 18, 9, 5, 0}, 214, 788, 9.55758135486},
      {&UranusTable, {0, 0, 0, 0, 5, 10, 9, 12, 0}, 176, 532, 19.2184460618},
      {&NeptuneTable, {0, 0, 0, 0, 3, 8, 7, 9, 0}, 58, 162, 30.1103868694},
      {&PlutoTable, {0, 0, 0, 0, 2, 2, 9, 13, 13}, 172, 604, 39.54},
  };
  for (int i = 0; i < 8; ++i) {
    const TCase& c = cases[i];
    EXPECT_EQ(PlanetTables[i], c.Table);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(c.Table->MaxHarmonic[k], c.MaxHarmonic[k]) << c.Table->Name;
    EXPECT_EQ(c.Table->PeriodicTerms, c.Terms);
    EXPECT_EQ(c.Table->CoefsPerStream, c.Coefs);
    EXPECT_EQ(c.Table->Distance, c.Distance);
  }
  EXPECT_EQ(MoonLonRadTable.PeriodicTerms, 631);
  EXPECT_EQ(MoonLonRadTable.CoefsPerStream, 1562);
  EXPECT_EQ(MoonLonRadTable.Distance, 0.00257356868953);
  EXPECT_EQ(MoonLatTable.PeriodicTerms, 360);
  EXPECT_EQ(MoonLatTable.CoefsPerStream, 850);
  const int earthCounts[3][6] = {
      {623, 379, 144, 23, 11, 4}, {184, 134, 62, 14, 6, 2}, {523, 290, 134, 20, 9, 2}};
  for (int a = 0; a < 6; ++a) {
    EXPECT_EQ(EarthL[a].Count, earthCounts[0][a]);
    EXPECT_EQ(EarthB[a].Count, earthCounts[1][a]);
    EXPECT_EQ(EarthR[a].Count, earthCounts[2][a]);
  }
  EXPECT_EQ(EarthL[1].Terms[1].C, 6283.0758499914);  // fixed-equinox mean motion
}

TEST(Series, EpochValues) {
  // At J2000.0 every planetary argument is its phase.
  TMultipleAngles w{};
  PlanetPosition(MercuryTable, 2451545.0, w);
  for (int k = 0; k < 7; ++k) {
    double arg = PlanetArgPhase[k] * static_cast<double>(ArcsecToRad);
    EXPECT_NEAR(w.Sin[k][0], std::sin(arg), 1e-15) << k;
    EXPECT_NEAR(w.Cos[k][0], std::cos(arg), 1e-15) << k;
  }
  // The Earth's longitude at tau = 0 is the sum of L0's A cos B.
  long double l0 = 0;
  for (int i = 0; i < EarthL[0].Count; ++i)
    l0 += EarthL[0].Terms[i].A * std::cos(static_cast<long double>(EarthL[0].Terms[i].B));
  EXPECT_NEAR(static_cast<double>(EarthPosition(2451545.0).L), static_cast<double>(Mod2Pi(l0)),
              1e-15);
  // The Moon's mean arguments at T = 0.
  const TMoonArguments a = MoonMeanElements(2451545.0);
  EXPECT_EQ(static_cast<double>(a.MeanLonArcsec), 785939.8092105242);
  EXPECT_NEAR(static_cast<double>(a.Args[9]),
              1072261.2202445078 * static_cast<double>(ArcsecToRad), 1e-15);
  EXPECT_EQ(a.Args[8], 0.0L);
}

TEST(Series, KnownPlaces) {
  // J2000.0: the Earth at L 100.38 degrees, R 0.98333 AU.
  TEclipticPosition e = EarthPosition(2451545.0);
  EXPECT_NEAR(static_cast<double>(e.L) * 180 / 3.141592653589793, 100.3779, 1e-3);
  EXPECT_NEAR(static_cast<double>(e.R), 0.983328, 1e-5);
  // Every planet stays near its mean distance; latitudes are small.
  for (int i = 0; i < 8; ++i)
    for (double jd : {2378496.5, 2451545.0, 2488069.5, 1356232.5}) {
      TEclipticPosition p = PlanetPosition(*PlanetTables[i], jd);
      double a = PlanetTables[i]->Distance;
      EXPECT_GT(static_cast<double>(p.R), a * 0.74) << PlanetTables[i]->Name;
      EXPECT_LT(static_cast<double>(p.R), a * 1.26) << PlanetTables[i]->Name;
      EXPECT_LT(std::fabs(static_cast<double>(p.B)), 0.31) << PlanetTables[i]->Name;
      EXPECT_GE(p.L, 0.0L);
      EXPECT_LT(p.L, TwoPi);
    }
}

TEST(Series, UnusedArgumentsAreNeverRead) {
  // Poison the rows of the arguments a planet does not use: its place must
  // not change.
  for (int i = 0; i < 8; ++i) {
    const TPlanetTable& t = *PlanetTables[i];
    TMultipleAngles w{};
    TEclipticPosition clean = PlanetPosition(t, 2460000.5, w);
    for (int k = 0; k < 9; ++k)
      if (t.MaxHarmonic[k] == 0)
        for (int j = 0; j < MaxMultiples; ++j)
          w.Sin[k][j] = w.Cos[k][j] = std::numeric_limits<double>::quiet_NaN();
    TEclipticPosition again = PlanetPosition(t, 2460000.5, w);
    EXPECT_EQ(again.L, clean.L) << t.Name;
    EXPECT_EQ(again.B, clean.B) << t.Name;
    EXPECT_EQ(again.R, clean.R) << t.Name;
  }
}

TEST(Series, MoonLongitudeWrapAndDistance) {
  struct TCase {
    long double In, Out;
  } cases[] = {{700000, -596000}, {-700000, 596000}, {645000, 645000}, {-645000, -645000},
               {0, 0},            {645001, -650999}};
  for (const TCase& c : cases) EXPECT_EQ(WrapMoonLongitude(c.In), c.Out);
  // Over a month the Moon keeps its distance and circles once.
  double lastLon = -1;
  int wraps = 0;
  for (int h = 0; h <= 24 * 28; h += 6) {
    TEclipticPosition m = MoonPosition(2460000.5 + h / 24.0);
    EXPECT_GT(static_cast<double>(m.R), 0.00237);
    EXPECT_LT(static_cast<double>(m.R), 0.00272);
    EXPECT_LT(std::fabs(static_cast<double>(m.B)), 0.0925);
    EXPECT_GE(m.L, 0.0L);
    EXPECT_LT(m.L, TwoPi);
    if (lastLon >= 0 && static_cast<double>(m.L) < lastLon) ++wraps;
    lastLon = static_cast<double>(m.L);
  }
  EXPECT_EQ(wraps, 1);
}

// The series keep no state between calls: two threads evaluating every
// body over a span of dates at the same time get, bit for bit, what one
// thread gets calling them in turn.
TEST(Series, TwoThreadsAtOnceGiveTheSequentialResults) {
  constexpr int Dates = 40;
  const auto evaluate = [](double from, std::vector<TEclipticPosition>& out) {
    out.clear();
    for (int d = 0; d < Dates; ++d) {
      const double jd = from + d * 37.25;
      out.push_back(MoonPosition(jd));
      out.push_back(EarthPosition(jd));
      for (const TPlanetTable* t : PlanetTables) out.push_back(PlanetPosition(*t, jd));
    }
  };
  const double starts[2] = {2451545.0, 1000000.5};
  std::vector<TEclipticPosition> alone[2], together[2];
  for (int i = 0; i < 2; ++i) evaluate(starts[i], alone[i]);
  std::thread a([&] { evaluate(starts[0], together[0]); });
  std::thread b([&] { evaluate(starts[1], together[1]); });
  a.join();
  b.join();
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(together[i].size(), alone[i].size());
    for (size_t k = 0; k < alone[i].size(); ++k) {
      EXPECT_EQ(together[i][k].L, alone[i][k].L) << i << " " << k;
      EXPECT_EQ(together[i][k].B, alone[i][k].B) << i << " " << k;
      EXPECT_EQ(together[i][k].R, alone[i][k].R) << i << " " << k;
    }
  }
}

}  // namespace
