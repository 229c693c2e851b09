#include "ScreenGeometry.h"

#include <cmath>

namespace {

// Angle (0..2pi) under which the pointer (x, y) sees the point p, with p's
// offsets clamped to the sky area.
double PointerAngle(const TSkyloom& sky, const TSkyPoint& p, int x, int y) {
  const double cx = sky.CenterX, cy = sky.CenterY;
  const double u = std::fmin(std::fmax(p.Y, -cx), cx);
  const double v = std::fmin(std::fmax(p.X, -cy), cy);
  double a = std::atan2(cy + v - y, cx - u - x);
  if (a < 0) a += 2 * M_PI;
  return a;
}

// Brings an angle difference into (-pi, pi] with one turn at most.
double Wrap(double d) {
  if (d > M_PI) return d - 2 * M_PI;
  if (d <= -M_PI) return d + 2 * M_PI;
  return d;
}

}  // namespace

void DrawOutline(TCanvas& canvas, const TSkyloom& sky, const TSkyPoint* points, int first,
                 int last) {
  if (!points || last < first) return;
  auto segment = [&](const TSkyPoint& a, const TSkyPoint& b) {
    if (!IsShownInside(sky, a) && !IsShownInside(sky, b)) return;
    canvas.MoveTo(ScreenX(sky, a), ScreenY(sky, a));
    canvas.LineTo(ScreenX(sky, b), ScreenY(sky, b));
  };
  segment(points[last - 1], points[first - 1]);
  for (int i = first; i < last; ++i) segment(points[i - 1], points[i]);
}

double OutlineWinding(const TSkyloom& sky, int i, int x, int y, int& runFirst) {
  if (i < 1 || i > MaxBounds) return 0;
  const TSkyPoint& end = sky.Bounds[i];
  int start = i;
  if (i > 1 && sky.Bounds[i - 1].Owner == end.Owner) {
    start = i - 1;
  } else {
    runFirst = i;
  }
  const TSkyPoint& from = sky.Bounds[start];
  if (from.Z < 0) return 0;
  const double a1 = PointerAngle(sky, from, x, y);
  if (end.Z < 0) return 0;
  const double a2 = PointerAngle(sky, end, x, y);
  double result = Wrap(a2 - a1);
  if (end.Mag >= 1) {
    const TSkyPoint& first = sky.Bounds[runFirst];
    if (first.Z >= 0) result += Wrap(PointerAngle(sky, first, x, y) - a2);
  }
  return result;
}
