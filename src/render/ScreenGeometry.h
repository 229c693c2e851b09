// Screen geometry of projected sky points and the outline routines shared by
// the grid, the great circles, the constellation boundaries and constellation
// picking. A point's X is its vertical offset v, Y its horizontal offset u
// and Z its depth (pixels, pixels, unit-free), as left by the sky update.
#pragma once

#include <cmath>

#include "Canvas.h"
#include "SkyModel.h"

// Nearest integer, ties to even, kept within +-1e6 so that points far off
// screen (depth near 0 or behind the viewer) stay harmless integers.
inline int RoundPixel(double value) {
  if (!(value > -1e6)) return -1000000;  // also NaN
  if (value > 1e6) return 1000000;
  return static_cast<int>(std::nearbyint(value));
}

// Screen position of a projected point: (CenterX - round u, CenterY + round v).
inline int ScreenX(const TSkyloom& sky, const TSkyPoint& p) { return sky.CenterX - RoundPixel(p.Y); }
inline int ScreenY(const TSkyloom& sky, const TSkyPoint& p) { return sky.CenterY + RoundPixel(p.X); }

// Shown: visible and not behind the viewer.
inline bool IsShown(const TSkyPoint& p) { return p.Visible != 0 && p.Z >= 0; }
// Inside: |u| < CenterX and |v| < CenterY (strict, unrounded offsets).
inline bool IsInside(const TSkyloom& sky, const TSkyPoint& p) {
  return std::fabs(p.Y) < sky.CenterX && std::fabs(p.X) < sky.CenterY;
}
inline bool IsShownInside(const TSkyloom& sky, const TSkyPoint& p) {
  return IsShown(p) && IsInside(sky, p);
}

// Closed polygon through points[first..last] (1-based, as the model's
// tables) with the current pen: segments last->first, first->first+1, ...,
// last-1->last; a segment is drawn when either end is shown and inside.
// `points` is the model table's record 1 (Table1::data()).
void DrawOutline(TCanvas& canvas, const TSkyloom& sky, const TSkyPoint* points, int first,
                 int last);

// Winding of the constellation boundary edge that ends at Bounds[i], seen
// from the pointer (x, y): the signed angle (radians, (-pi, pi] per edge)
// the edge subtends, plus the closing edge of the run when point i ends it.
// `runFirst` remembers the first point of the current outline between calls
// (set whenever point i starts a new owner); start it at 1. Summed over i = 2..1600 it is
// about 2 pi inside a constellation and 0 outside. Points behind the viewer
// give 0.
double OutlineWinding(const TSkyloom& sky, int i, int x, int y, int& runFirst);
