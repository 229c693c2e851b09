// The picture generators, grouped by library. Each adds its images, in a
// fixed order, to a library under construction.
#pragma once

#include <string>
#include <vector>

#include "ImageLibrary.h"
#include "Raster.h"

struct ArtFonts {
  std::string Ming;     // Chinese outline font (Song/Ming style)
  std::string Bitmap;   // Chinese bitmap font, crisp at 12 pixels
  std::string Latin;    // Latin sans-serif
  std::string LatinBold;
};

struct MessierShape {
  std::string Code;     // "M31"
  std::string Type;     // "galaxy", "globular cluster", ...
  float Major = 0;      // arc minutes
  float Minor = 0;      // arc minutes, 0 when unknown
  float Angle = 0;      // position angle, degrees from north through east
  bool HasAngle = false;
};

using Library = std::vector<LibraryImage>;

// Frames of equal size stacked into one named image.
LibraryImage MakeImage(const std::string& name, const std::vector<Raster>& frames);

// The sky's pictures at `scale` pixels per unit (1, 2 or 3); the ground
// texture only at 1.
void AddSkyImages(Library& lib, const ArtFonts& fonts, float scale = 1);
// The panel, its dials and buttons at `scale` pixels per unit of the
// interface (1, 2 or 3).
void AddPanelImages(Library& lib, const ArtFonts& fonts, float scale = 1);
// The hovered objects' pictures at `scale` pixels per unit (1, 2 or 3).
void AddObjectImages(Library& lib, const std::vector<MessierShape>& messier, float scale = 1);
void AddResourceImages(Library& lib, const ArtFonts& fonts);

// Frame k of the Moon's phase image: phase angle k/frames of a turn, full
// at 0; the lit limb is on the left (-x) before new Moon and on the right
// after it, which the drawing's turn by the Moon's axis puts towards the Sun.
// `size` units square at `scale` pixels per unit.
Raster MoonFrame(int k, int frames, int size, float scale = 1);
