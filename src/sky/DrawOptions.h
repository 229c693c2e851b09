// The program-wide drawing options of the sky model and the one way to
// flip them: the label placement pass, the realistic sky, refraction and the
// Milky Way. Each flip
// marks the sky stale so that the next frame is updated and redrawn.
#pragma once

#include "SkyModel.h"

// Label placement on: every label of a frame is placed in one pass by
// priority and dropped when no free place is near its object. Off: every
// label is written at its fixed offset, overlapping or not.
inline void FlipLabelPlacement(TSkyloom& sky, bool& skyStale) {
  sky.LabelPlacement = sky.LabelPlacement ? 0 : 1;
  skyStale = true;
}

// Realistic sky on: the sky's colour, the faintest star shown and the
// eclipse drawing follow the Sun. Off: a black night or navy day sky.
inline void FlipRealisticSky(TSkyloom& sky, bool& skyStale) {
  sky.RealisticSky = sky.RealisticSky ? 0 : 1;
  skyStale = true;
}

// Refraction on: everything in the sky stands where the atmosphere shows
// it, lifted by half a degree at the horizon; the Sun and the Moon rise and
// set by their upper limb. Off: true (geometric) altitudes.
inline void FlipRefraction(TSkyloom& sky, bool& skyStale) {
  sky.Refraction = sky.Refraction ? 0 : 1;
  skyStale = true;
}

// Milky Way on: its light is drawn under the stars where the sky shown has
// its bit (a show page may leave it out). Off hides it everywhere, shows
// included. The flip sets the bit of the sky shown now as well, so that
// turning it on shows at once; the next page of a show sets its own bit.
inline void FlipMilkyWay(TSkyloom& sky, bool& skyStale) {
  sky.MilkyWay = sky.MilkyWay ? 0 : 1;
  if (sky.MilkyWay) sky.ShowFlags |= SkyBits::MilkyWay;
  else sky.ShowFlags &= ~SkyBits::MilkyWay;
  skyStale = true;
}
