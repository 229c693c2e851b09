// Extended-precision helpers shared by the astronomy sources (not part of the
// public interface): pi, the extended angle reductions and arc functions.
#pragma once

#include <cmath>

namespace astro_detail {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double DegToRad = Pi / 180.0L;

// [0, 2 pi] and [-pi, pi] as NormalizeAngle / NormalizeSigned, in extended.
long double NormalizeAngleL(long double x);
long double NormalizeSignedL(long double x);
// Full-circle arctangent in [0, 2 pi], as AngleOf.
long double AngleOfL(long double x, long double y);
// Arcsine / arccosine as arctangents; the root is clamped at 0 so that a
// value a rounding step beyond +-1 still gives +-pi/2 or 0 / pi.
long double ArcSinL(long double v);
long double ArcCosL(long double v);

}  // namespace astro_detail
