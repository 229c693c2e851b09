// The light of the sky for one frame, from the Sun's place: the sky colour
// of every direction (day blue brightening toward the Sun, civil, nautical
// and astronomical twilight graded toward the Sun's horizon, night), the
// faintest star the sky lets through, and a solar eclipse: when the Moon
// stands within 2 degrees of the Sun, or near enough that the discs as
// ordinarily drawn would touch, both discs are drawn at one common
// magnification about the Sun, their true separation magnified by the same
// factor (with the realistic sky on or off), and with the realistic sky the
// sky darkens with the covered fraction of the Sun.
//
// Directions are unit vectors of the horizontal frame (south, east, up).
#pragma once

#include "Canvas.h"
#include "SkyModel.h"
#include "Transforms.h"

// Drawn radius (pixels) of the Sun's disc in the "Sun" picture and of the
// Moon's disc in the ordinary drawing.
constexpr int SunDiscRadius = 12;
constexpr int MoonDiscRadius = 10;

struct TSkyLight {
  bool On = false;             // realistic sky switched on
  double SunAltitude = -1;     // radians, of the Sun's centre
  double SkyAltitude = -1;     // radians: the Sun's altitude the sky looks like (eclipses lower it)
  TVector3 SunDir{0, 0, -1};   // horizontal direction of the Sun
  double Glow = 0;             // 0..1 strength of the bright sky around the Sun's disc
  int Limit = 1000;            // faintest star magnitude (tenths) the sky lets through
  int MessierLimit = 1000;     // the same for the diffuse Messier objects
  // Faintest magnitude (tenths) of faint diffuse light (the Milky Way) the
  // moonlit sky lets through: 1000 with the Moon down, about 3.5 under a
  // high full Moon.
  int MoonLimit = 1000;

  // Eclipse drawing (in every mode): the Moon near the Sun.
  bool Eclipse = false;
  double SunRadius = 0, MoonRadius = 0;  // true semi-diameters, radians
  double Separation = 0;                 // true centre distance, radians
  double Covered = 0;                    // fraction of the Sun's disc the Moon covers, 0..1
  double Magnification = 1;              // drawn pixels per radian / Scale
  double MoonDx = 0, MoonDy = 0;         // drawn Moon centre minus Sun centre, pixels
  double MoonDrawnRadius = MoonDiscRadius;  // pixels
};

// The light of the current sky (the model as the sky update left it), with
// the Sun's and the Moon's discs drawn discScale times their radii above
// (the eclipse's magnification and drawn Moon follow).
TSkyLight ComputeSkyLight(const TSkyloom& sky, double discScale = 1);

// Sky colour seen in direction `dir`.
TColor SkyColourAt(const TSkyLight& light, const TVector3& dir);

// Horizontal direction of the screen pixel (x, y) (not normalised).
TVector3 ScreenDirection(const TSkyloom& sky, double x, double y);

// Paints rows 0..sky.ScreenHeight-1 of the buffer with the sky colour,
// computed on a coarse grid and interpolated between its nodes.
void PaintSky(TBackBuffer& buffer, const TSkyloom& sky, const TSkyLight& light);
// Whether PaintSky has anything to grade: false in a full night, whose sky
// is plain black.
bool SkyIsGraded(const TSkyLight& light);

// Limiting magnitude (tenths) for faint diffuse light under the Moon at
// `altitude` radians with `litFraction` (0..1) of its disc lit.
int MoonlightLimit(double altitude, double litFraction);

// Limiting magnitude (tenths) of a sky that looks like the Sun at
// `altitude` radians; 1000 for a full night.
int SkyLimit(double altitude);

// Area of the Sun's disc (radius rs) covered by the Moon's (radius rm) at
// centre distance d, as a fraction of the Sun's disc.
double CoveredFraction(double rs, double rm, double d);
