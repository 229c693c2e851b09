// Multiple-angle tables, the term-directory walk of the Poisson series, the
// planet and Earth evaluators and the reductions they share with the Moon.
#include "Planets.h"

#include <algorithm>
#include <cmath>

long double ReduceArcsec(long double x) {
  if (std::fabs(x) >= ArcsecPerTurn) {
    x = x - std::trunc(x / ArcsecPerTurn) * ArcsecPerTurn;
    if (x < 0.0L) x += ArcsecPerTurn;
  }
  return x;
}

long double Mod2Pi(long double x) {
  if (std::fabs(x) >= TwoPi) x = x - std::trunc(x / TwoPi) * TwoPi;
  if (x < 0.0L) x += TwoPi;
  return x;
}

long double SignedMod2Pi(long double x) {
  if (std::fabs(x) >= TwoPi) return x - std::trunc(x / TwoPi) * TwoPi;
  return x;
}

void FillMultiples(TMultipleAngles& w, int k, long double arg, int n) {
  if (k < 0 || k >= MaxArguments) return;
  n = std::min(n, MaxMultiples);
  long double su = std::sin(arg);
  long double cu = std::cos(arg);
  w.Sin[k][0] = static_cast<double>(su);
  w.Cos[k][0] = static_cast<double>(cu);
  long double sv = 2.0L * su * cu;
  long double cv = cu * cu - su * su;
  w.Sin[k][1] = static_cast<double>(sv);
  w.Cos[k][1] = static_cast<double>(cv);
  for (int j = 2; j < n; ++j) {
    long double s = su * cv + cu * sv;
    cv = cu * cv - su * sv;
    sv = s;
    w.Sin[k][j] = static_cast<double>(sv);
    w.Cos[k][j] = static_cast<double>(cv);
  }
}

// The directories and streams were proven consistent by the generator at
// build time (every multiple within its MaxHarmonic, exact coefficient
// counts), so the walk reads them without further checks.
TSeriesSums SumTable(const TMultipleAngles& w, const TPlanetTable& table, long double t,
                     bool reducePolynomialLon) {
  const double* streams[3] = {table.LonTbl, table.LatTbl, table.RadTbl};
  long double sums[3] = {0.0L, 0.0L, 0.0L};
  size_t pos[3] = {0, 0, 0};
  const signed char* p = table.ArgTbl;
  const signed char* end = table.ArgTbl + table.ArgBytes;
  while (p < end) {
    int np = *p++;
    if (np < 0) break;
    if (np == 0) {
      int nt = *p++;
      for (int s = 0; s < 3; ++s) {
        const double* c = streams[s];
        if (!c) continue;
        long double v = c[pos[s]++];
        for (int i = 0; i < nt; ++i) v = v * t + c[pos[s]++];
        sums[s] += (s == 0 && reducePolynomialLon) ? ReduceArcsec(v) : v;
      }
      continue;
    }
    long double sv = 0.0L, cv = 1.0L;
    bool started = false;
    for (int i = 0; i < np; ++i) {
      int j = *p++;
      int m = *p++;
      if (j == 0) continue;
      int a = j < 0 ? -j : j;
      long double s = w.Sin[m - 1][a - 1];
      if (j < 0) s = -s;
      long double c = w.Cos[m - 1][a - 1];
      if (!started) {
        sv = s;
        cv = c;
        started = true;
      } else {
        long double nsv = s * cv + c * sv;
        cv = c * cv - s * sv;
        sv = nsv;
      }
    }
    int nt = *p++;
    for (int s = 0; s < 3; ++s) {
      const double* c = streams[s];
      if (!c) continue;
      long double cu = c[pos[s]++];
      long double su = c[pos[s]++];
      for (int i = 0; i < nt; ++i) {
        cu = cu * t + c[pos[s]++];
        su = su * t + c[pos[s]++];
      }
      sums[s] += cu * cv + su * sv;
    }
  }
  return {sums[0], sums[1], sums[2]};
}

TEclipticPosition PlanetPosition(const TPlanetTable& table, double jdTT) {
  TMultipleAngles w;
  return PlanetPosition(table, jdTT, w);
}

TEclipticPosition PlanetPosition(const TPlanetTable& table, double jdTT, TMultipleAngles& w) {
  long double t = (static_cast<long double>(jdTT) - 2451545.0L) / 3652500.0L;
  for (int k = 0; k < 9; ++k) {
    if (table.MaxHarmonic[k] <= 0) continue;
    long double arg =
        (ReduceArcsec(PlanetArgFrequency[k] * t) + PlanetArgPhase[k]) * ArcsecToRad;
    FillMultiples(w, k, arg, table.MaxHarmonic[k]);
  }
  TSeriesSums s = SumTable(w, table, t, true);
  TEclipticPosition r;
  r.L = Mod2Pi(ArcsecToRad * s.Lon);
  r.B = SignedMod2Pi(ArcsecToRad * s.Lat);
  r.R = table.Distance + table.Distance * ArcsecToRad * s.Rad;
  return r;
}

namespace {

long double SumVsop(const TVsopSeries (&series)[6], long double tau) {
  long double power[6];
  // Arguments and cosines are taken in double (for any date of the tables'
  // range an argument is below 1e6 radians, where a double resolves 1e-10
  // radians); the terms are summed in extended.
  const double t = static_cast<double>(tau);
  for (int a = 0; a < 6; ++a) {
    long double sum = 0.0L;
    const TVsopTerm* terms = series[a].Terms;
    for (int i = 0; i < series[a].Count; ++i)
      sum += static_cast<long double>(terms[i].A * std::cos(terms[i].B + terms[i].C * t));
    power[a] = sum;
  }
  return power[0] +
         tau * (power[1] + tau * (power[2] + tau * (power[3] + tau * (power[4] + tau * power[5]))));
}

}  // namespace

TEclipticPosition EarthPosition(double jd) {
  long double tau = (static_cast<long double>(jd) - 2451545.0L) / 365250.0L;
  TEclipticPosition r;
  r.L = Mod2Pi(SumVsop(EarthL, tau));
  r.B = SignedMod2Pi(SumVsop(EarthB, tau));
  r.R = SumVsop(EarthR, tau);
  return r;
}
