// TDXImageList: the named images of one image library, drawn onto the back
// buffer. Missing images (index -1) and frames outside 0..count-1 draw nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ImageLibrary.h"

class TDXImageList {
 public:
  // Loads a library file; a fault is reported once on stderr and leaves the
  // list with whatever was read (possibly empty). Each image's pixels are
  // unpacked when it is first asked for (the hover pictures, most of them
  // never shown in a session, stay packed).
  bool LoadFromFile(const std::string& path);
  void Assign(std::vector<LibraryImage> images);

  // How many times the list was filled (LoadFromFile, Assign): a picture
  // kept from its images is stale once this changes.
  unsigned Fills() const { return fills_; }

  int Find(const std::string& name) const;   // -1: none
  int Count() const { return static_cast<int>(images_.size()); }
  int Width(int image) const;                // size of one frame; 0 for none
  int Height(int image) const;
  int FrameCount(int image) const;
  const LibraryImage* Image(int image) const;

  // Frame at its own size, top-left at (x, y), blended by its alpha. Large
  // pictures (the panel, the story board) are kept, from their first Draw
  // on, as runs of transparent, opaque and translucent pixels with the
  // opaque ones already in 16 bits: those are copied, not blended, with the
  // same result. Pictures only ever stretched or turned (the hover
  // pictures) never get runs.
  void Draw(TBackBuffer& dst, int image, int x, int y, int frame) const;
  // Frame stretched into the rectangle, blended with alpha 0..255.
  void DrawAlpha(TBackBuffer& dst, int image, const TRect& r, int frame, int alpha) const;
  // Frame at size w x h, its point (cx*w, cy*h) on (x, y), turned by angle
  // 256ths of a turn (clockwise on screen, as the dials turn).
  void DrawRotate(TBackBuffer& dst, int image, int x, int y, int w, int h, int frame,
                  double cx, double cy, int angle) const;

 private:
  // A picture as DrawRotate last turned it: what it was asked, and the
  // colours it blends over the clipped rectangle it covers (0xAARRGGBB,
  // alpha 0 where nothing is drawn). A few are kept, so that dials standing
  // still cost a blend and not a resampling in every frame.
  struct TTurnKey {
    int Image = -1, Frame = 0, X = 0, Y = 0, W = 0, H = 0, Angle = 0, StageW = 0, StageH = 0;
    double Cx = 0, Cy = 0;
    unsigned Fills = 0;
    bool operator==(const TTurnKey&) const = default;
  };
  struct TTurned {
    TTurnKey Key;
    bool Kept = false;  // Pixels hold the turn of Key
    long long Left = 0, Top = 0, Columns = 0, Rows = 0;
    std::vector<uint32_t> Pixels;
  };
  static void BlendTurned(TBackBuffer& dst, const TTurned& t);
  mutable std::array<TTurned, 4> turned_;
  mutable size_t nextTurned_ = 0;
  // Pixel runs of one row of a frame: skip (alpha 0), copy (alpha 255) or
  // blend; `Start` is the column of the run's first pixel.
  struct TRun {
    uint16_t Start, Length;
    uint8_t Kind;  // 0 skip, 1 copy, 2 blend
  };
  struct TRuns {
    std::vector<uint16_t> Packed;    // every pixel in RGB565, frames stacked
    std::vector<uint32_t> RowFirst;  // per frame row: its first run; one more at the end
    std::vector<TRun> Runs;
    // Small pictures (no runs): per frame, the box [Left, Right) x [Top,
    // Bottom) holding its pixels that are not fully transparent (a star's
    // faint frames ink only their middle).
    struct TBox {
      uint16_t Left, Top, Right, Bottom;
    };
    std::vector<TBox> Inked;
  };
  // The runs of an image, made on its first Draw (for small ones only the
  // inked boxes).
  const TRuns& RunsOf(size_t image) const;
  void BuildRuns(size_t image) const;
  mutable std::vector<LibraryImage> images_;  // unpacked on first use
  unsigned fills_ = 0;
  mutable std::vector<TRuns> runs_;     // per image
  mutable std::vector<uint8_t> looked_;  // per image: 1 once its runs were made (or not needed)
};

// A frame-by-frame copy of an image reduced by `ratio` (0 < ratio <= 1):
// each frame becomes round(w x ratio) by round(h x ratio) pixels, every
// pixel the area average of the source pixels it covers (colour weighted
// by alpha).
LibraryImage ReduceImage(const LibraryImage& source, double ratio);

// The panel's and the sky's pictures (all but the ground texture) for an
// interface scale (pixels per unit): at 1 the 1x library itself; at 2 and 3
// the pictures drawn at that size; between, the next larger ones reduced by
// area averaging, once per scale. 1x pictures are never
// enlarged: above 3, or without the larger libraries, the 1x library is
// used. The larger libraries are read when first needed, and let go once
// reduced.
class TScaledPanelArt {
 public:
  // The library files of 2x and 3x (relative to the program folder).
  static constexpr const char* File2x = "LoadImg2x.rxf";
  static constexpr const char* File3x = "LoadImg3x.rxf";
  // The list to draw the panel and the sky's pictures from at `scale`;
  // `base` is the 1x library (returned itself when nothing larger serves).
  const TDXImageList& For(const TDXImageList& base, double scale);

 private:
  TDXImageList drawn_[2];   // 2x, 3x as read
  bool read_[2] = {}, readOk_[2] = {};
  TDXImageList reduced_;    // for the last scale between the steps
  double reducedScale_ = 0;
};

// The hovered object's picture at an interface scale, one picture at a
// time: at 1, or without the 2x library, the 1x picture itself; else the
// picture drawn at 2x, reduced by area averaging below 2, and above 2 shown
// at its own 2x size (1x pictures are never enlarged). The picture is
// read from the 2x library alone when the picture changes, and its frame
// reduced when the frame or the scale changes, not every frame; nothing of
// the 2x library but that picture is held, and it is let go once nothing
// is hovered.
class TScaledHoverArt {
 public:
  // The library file of the pictures at 2x (relative to the program folder).
  static constexpr const char* File2x = "Messia2-2x.rxf";
  struct TPick {
    const TDXImageList* List = nullptr;
    int Image = -1;  // -1: none
    int Frame = 0;
  };
  // Where to draw frame `frame` of picture `name` from at `scale`; `base`
  // is the 1x library. Above 1x the one picture is read from the 2x
  // library when first asked for, and only the frame shown is reduced.
  TPick For(const TDXImageList& base, const std::string& name, int frame, double scale);
  // Lets go of the picture (nothing hovered any more).
  void Release();

 private:
  LibraryImage picture_;  // the 2x picture last asked for, unpacked
  bool pictureRead_ = false;  // picture_ holds pictureName_ (or it is missing: Name empty)
  std::string pictureName_;
  TDXImageList shown_;  // its frame at the scale, alone
  int shownFrame_ = -1;
  double shownScale_ = 0;
};
