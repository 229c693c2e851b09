// The Milky Way's light, drawn under everything else of the sky: the
// brightness map of the model (MilkyWay.h), seen through the current view,
// added to the sky's colour as a faint, smooth glow.
//
// The map is looked up on a coarse grid of screen nodes (every 8 pixels or
// more, about a hundred across) whose directions come from the
// projection's inverse (ScreenDirection), and the brightness is
// interpolated between the nodes, so the picture has no cells at any size
// and a frame costs little at any size.
#pragma once

#include "Canvas.h"
#include "SkyLight.h"
#include "SkyModel.h"
#include "Transforms.h"

inline constexpr int MilkyWayMaxColumns = 256, MilkyWayMaxRows = 160;

// How much of the Milky Way shows (0..1) when the faintest star seen is of
// magnitude limit/10: none brighter than 3.5, all from 6.
double MilkyWayFade(int limitTenths);

// The strength (0..1) the Milky Way is drawn with in this frame: the
// user's switch on, the bit of the sky shown (ShowFlags: a show page may
// leave it out) and a loaded map, faded by the faintest star the
// user's limit and the sky's light let through (with the realistic sky
// on, twilight and moonlight: the Moon's phase and height); 0 in a
// daylight sky.
double MilkyWayStrength(const TSkyloom& sky, const TSkyLight& light);

// Rotation from the horizontal frame (S, E, U) of the current sky to
// galactic coordinates (x toward the galactic centre, z toward the north
// galactic pole), through the equator of date and J2000.
struct TGalacticTurn {
  double M[3][3];
  TVector3 Apply(const TVector3& h) const {
    return {M[0][0] * h.X + M[0][1] * h.Y + M[0][2] * h.Z,
            M[1][0] * h.X + M[1][1] * h.Y + M[1][2] * h.Z,
            M[2][0] * h.X + M[2][1] * h.Y + M[2][2] * h.Z};
  }
};
TGalacticTurn GalacticTurnOf(const TSkyloom& sky);

// Galactic longitude and latitude (radians) of the sky at screen pixel (x, y).
void GalacticAtScreen(const TSkyloom& sky, const TGalacticTurn& turn, double x, double y,
                      double& l, double& b);

// The glow of one row added onto its RGB565 pixels: node brightness
// `nodes[i]` (1/4096 of the peak) at x = i * step, linear between nodes,
// times the per-channel factors, plus the row's 4-pixel ordered dither. The
// plain adder, and the fastest this processor runs (the same pixels).
using TGlowRowAdder = void (*)(uint16_t* out, const int32_t* nodes, int width, int step,
                               const int32_t* dither4, int32_t kr, int32_t kg, int32_t kb);
TGlowRowAdder PlainGlowRowAdder();
TGlowRowAdder FastGlowRowAdder();

// Adds the Milky Way to rows 0..sky.ScreenHeight-1 of the buffer at the
// given strength. With the ground shown nothing is added below the horizon.
// With `clearTo`, those rows are first set to that colour, each just before
// its glow is added: one pass over the sky area instead of two.
void DrawMilkyWay(TBackBuffer& buffer, const TSkyloom& sky, double strength,
                  const TColor* clearTo = nullptr);
