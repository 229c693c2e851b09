// Running means of on-screen star positions that place the constellation and
// asterism names.
#include "LabelAnchors.h"

#include <cmath>

namespace {
constexpr double NoLabel = -10000.0;
}  // namespace

void ResetLabelAnchor(TSkyObject& anchor) {
  anchor.LabelX = NoLabel;
  anchor.LabelY = NoLabel;
  anchor.LabelCount = 0;
  anchor.HasLabel = 0;
}

void AddToLabelAnchor(TSkyObject& anchor, const TSkyPoint& point, const TSkyloom& sky) {
  // The offsets are rounded, not the screen point: with an odd centre the
  // two differ on a half pixel. Kept in doubles so that far-off points
  // cannot overflow an integer.
  const double sx = sky.CenterX - std::nearbyint(point.Y);  // ties to even
  const double sy = sky.CenterY + std::nearbyint(point.X);
  if (!(sx > 0 && sx < sky.ScreenWidth && sy > 0 && sy < sky.ScreenHeight)) return;
  const double n = anchor.LabelCount;
  anchor.LabelX = (n * anchor.LabelX + sky.CenterX - point.Y) / (n + 1);
  anchor.LabelY = (n * anchor.LabelY + sky.CenterY + point.X) / (n + 1);
  anchor.LabelCount += 1;
  anchor.HasLabel = 1;
}
