// Rising, transit and setting of the Sun, the Moon and the planets for one
// place and one local day, by the same rules the sky shows them: apparent
// places of the body table, the Moon seen from the WGS84 ellipsoid, the Sun
// and the Moon up with their upper limb, refraction of the standard
// atmosphere (34.5' at the horizon) when asked for.
#pragma once

struct TRiseTransitSet {
  // UT day counts (days since 1999-12-31 0 h UT); NaN when the event does
  // not happen in the day (the body stays up or down, or the Moon's
  // transit slips into the next day).
  double Rise, Transit, Set;
};

// Events of body 1..10 in the UT day counts [dayStart, dayStart + 1) at
// geodetic latitude and east longitude (radians). Times are found to about
// a second.
TRiseTransitSet RiseTransitSet(int body, double dayStart, double latitude, double longitude,
                               bool refraction);

// How far the body's top stands above the horizon as the sky shows it: the
// sine of the true altitude of its upper limb (of its centre for planets)
// less the sine of the true altitude refraction lifts to the horizon
// (0 without refraction). Positive: up.
double AboveHorizon(int body, double dayCount, double latitude, double longitude,
                    bool refraction);
