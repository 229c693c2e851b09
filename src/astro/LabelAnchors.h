// Label anchors of constellations and asterisms: the running mean of the
// screen points of the stars that stand strictly inside the sky area.
#pragma once

#include "SkyModel.h"

// No anchor: LabelX = LabelY = -10000 (not drawn), no point counted.
void ResetLabelAnchor(TSkyObject& anchor);

// Adds the unrounded screen point (CenterX - u, CenterY + v) of a projected
// point to the anchor's running mean when its rounded screen point
// (CenterX - round u, CenterY + round v; ties to even) lies strictly inside
// the sky area. The caller checks that the point is shown.
void AddToLabelAnchor(TSkyObject& anchor, const TSkyPoint& point, const TSkyloom& sky);
