// DrawSky: paints the sky of one frame onto the back buffer from the point
// tables the sky update has just projected — with the realistic sky on, the
// sky's colour by the Sun first — then the Milky Way's light, great circles
// and grid, figures, Greek letters, the selected boundary, show marks,
// Messier objects, stars tinted by their colour, names, planets, the Sun,
// the Moon with its phase (and both discs magnified during a solar
// eclipse), the hovered object's picture and the ground with boards and
// trees. With label placement on, every label is gathered while the layers
// are drawn and placed after the ground in one pass (LabelPass.h); off,
// each is written as its layer is drawn. It only reads the model, except
// that it keeps MoonPhase within 0..2pi.
#pragma once

#include <vector>

#include "Canvas.h"
#include "ImageList.h"
#include "LabelPass.h"
#include "SkyMarks.h"
#include "SkyModel.h"

// Everything one DrawSky call reads besides the model; DrawFrame fills it
// from the main form for every frame.
struct TSkyDrawContext {
  TSkyloom& Sky;
  TBackBuffer& Buffer;
  TCanvas& Canvas;                 // the one canvas of Buffer
  const TDXImageList& Images;      // DXImageList ("LoadImg.rxf")
  const TDXImageList& Images1;     // DXImageList1 ("Messia2.rxf"): hover pictures
  const TSkyMarks& Marks;          // show page marks
  const TPopupSwitches& Popup;     // popup menu switches
  TColor Background = clBlack;     // this frame's background fill
  int HoverObject = 0;             // 0 none, 1..100 Messier object, 201..210 body 1..10
  int HoverX = 0, HoverY = 0;      // pointer position of the hover test
  bool NebulaNames = false;        // caption over the hovered picture
  bool CanDraw = true;             // false: the surface cannot be drawn
  // Interface scale (1..3): labels are 12 x scale pixels high, their
  // distances from their objects scaled alike.
  double InterfaceScale = 1;
  // The sky's pictures (stars, planets, the Sun, clouds, trees, boards) drawn
  // at ArtScale times their 1x size, from ScaledImages; every offset and
  // rectangle that goes with them, and the Moon's disc, scaled alike. Null:
  // the 1x pictures of Images at scale 1. The ground texture always comes
  // from Images, laid at its own size.
  const TDXImageList* ScaledImages = nullptr;
  double ArtScale = 1;
  // The hovered object's picture at ArtScale (kept between frames); null:
  // Images1 at 1x.
  TScaledHoverArt* HoverArt = nullptr;
  // The label pass's storage, owned by the caller so that a frame needs no
  // large stack; DrawSky uses one of its own when none is given.
  TLabelPass* Labels = nullptr;
  // When given, receives every label the placement pass drew (tests).
  std::vector<TPlacedLabel>* PlacedLabels = nullptr;
};

void DrawSky(TSkyDrawContext& ctx);

// Half ellipse (with 10 degrees overshoot at each end: -10..190 degrees)
// centred on (x, y), semi-axes a along the turned x axis and b along the
// turned y axis, the figure turned by p radians; screen y grows downwards.
// DrawArc(x, y, p, r, r) is the Moon's limb; b = -r cos(phase) its terminator.
// A narrower sweep (whole degrees fromDeg..toDeg) draws part of it.
void DrawArc(TCanvas& canvas, int x, int y, double p, double a, double b, int fromDeg = -10,
             int toDeg = 190);

// The Moon's disc of radius r pixels centred on (x, y), lit toward the Sun:
// the part between the limb and the terminator (the half ellipse of
// semi-axes r and -r cos(phase), turned by p) in `lit`, the rest in `dark`.
// A crescent thinner than 1.5 pixels is drawn 1.5 pixels wide along the
// lit half of its limb once the Moon stands 7 degrees or more from the Sun,
// so that every visible phase is one solid shape.
void FillMoonDisc(TBackBuffer& buffer, int x, int y, double r, double p, double phase, TColor lit,
                  TColor dark);
// The same disc at a centre given in fractions of a pixel, its limb blended
// with what lies beneath by the share of each pixel it covers (the Moon
// magnified over the Sun in an eclipse).
void FillSmoothMoonDisc(TBackBuffer& buffer, double x, double y, double r, double p,
                        double phase, TColor lit, TColor dark);

// Orientation p of the Moon's phase (radians, 0..2pi) from the two MoonAxis
// points: atan2(du, dv) of MoonAxis 1 minus MoonAxis 2.
double MoonAxisAngle(const TSkyloom& sky);

// Frame of "StarShine" for a star magnitude in tenths: 0 up to 1.5, then
// one frame per magnitude, at most 6.
int StarFrame(int mag);
// Tenths of a magnitude the faintest star drawn gains at a field of view
// (degrees across the sky area): 0 at the default field, 2.5 magnitudes
// for each tenfold narrowing, as much lost for a wider field.
int FieldReach(double fieldDeg);
// Frame of "StarBall" for a planet magnitude in tenths: 0 for -2 and
// brighter, 1 for -1..0, 2 for 1..2, then the magnitude, at most 7.
int PlanetFrame(int mag10);

// The font every sky label uses: GBK "宋体".
extern const char* const SongFont;
