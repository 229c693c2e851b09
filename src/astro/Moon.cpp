// The Moon: mean arguments of date and the two lunar series.
#include "Moon.h"

#include "EphemerisData.h"

namespace {
// Row of the Moon's mean anomaly l, whose polynomial carries its two highest
// coefficients both as multiples of T: (c5 T + c4 T + c3) T ... instead of
// ((c5 T + c4) T + c3) T ...
constexpr int MeanAnomalyRow = 12;
constexpr int MeanLongitudeRow = 13;
}  // namespace

TMoonArguments MoonMeanElements(double jdTT) {
  TMoonArguments a;
  long double t = (static_cast<long double>(jdTT) - 2451545.0L) / 36525.0L;
  long double t2 = t * t;
  for (int k = 0; k < MaxArguments; ++k) {
    const double* c = MoonArgPoly[k];
    int n = MoonArgPolyCount[k];
    long double p = 0.0L;
    int i = n - 1;
    if (k == MeanAnomalyRow && n >= 3) {
      p = c[n - 1] * t + c[n - 2] * t + c[n - 3];
      i = n - 4;
    } else if (n > 0) {
      p = c[n - 1];
      i = n - 2;
    }
    for (; i >= 0; --i) p = p * t + c[i];
    long double x = ReduceArcsec(MoonArgRate[k] * t + MoonArgConst[k]) + p * t2;
    a.Args[k] = x * ArcsecToRad;
    if (k == MeanLongitudeRow) a.MeanLonArcsec = x;
  }
  return a;
}

long double WrapMoonLongitude(long double x) {
  if (x < -645000.0L) x += ArcsecPerTurn;
  if (x > 645000.0L) x -= ArcsecPerTurn;
  return x;
}

namespace {
void FillTableMultiples(TMultipleAngles& w, const TMoonArguments& a, const TPlanetTable& table) {
  for (int k = 0; k < MaxArguments; ++k)
    if (table.MaxHarmonic[k] > 0) FillMultiples(w, k, a.Args[k], table.MaxHarmonic[k]);
}
}  // namespace

TEclipticPosition MoonPosition(double jdTT) {
  const TMoonArguments a = MoonMeanElements(jdTT);
  long double t = (static_cast<long double>(jdTT) - 2451545.0L) / 3652500.0L;

  TMultipleAngles w;
  FillTableMultiples(w, a, MoonLonRadTable);
  TSeriesSums lr = SumTable(w, MoonLonRadTable, t, false);
  long double sl = lr.Lon / 10000.0L;
  long double sr = lr.Rad / 10000.0L;

  FillTableMultiples(w, a, MoonLatTable);
  TSeriesSums la = SumTable(w, MoonLatTable, t, false);
  long double sb = la.Lat / 10000.0L;

  long double x = WrapMoonLongitude(sl + a.MeanLonArcsec);
  TEclipticPosition r;
  r.L = Mod2Pi(ArcsecToRad * x);
  r.B = SignedMod2Pi(ArcsecToRad * sb);
  r.R = (ArcsecToRad * sr + 1.0L) * MoonLonRadTable.Distance;
  return r;
}
