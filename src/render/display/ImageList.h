// TDXImageList: the named images of one image library, drawn onto the back
// buffer. Missing images (index -1) and frames outside 0..count-1 draw nothing.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"
#include "ImageLibrary.h"

class TDXImageList {
 public:
  // Loads a library file; a fault is reported once on stderr and leaves the
  // list with whatever was read (possibly empty).
  bool LoadFromFile(const std::string& path);
  void Assign(std::vector<LibraryImage> images);

  int Find(const std::string& name) const;   // -1: none
  int Count() const { return static_cast<int>(images_.size()); }
  int Width(int image) const;                // size of one frame; 0 for none
  int Height(int image) const;
  int FrameCount(int image) const;
  const LibraryImage* Image(int image) const;

  // Frame at its own size, top-left at (x, y), blended by its alpha.
  void Draw(TBackBuffer& dst, int image, int x, int y, int frame) const;
  // Frame stretched into the rectangle, blended with alpha 0..255.
  void DrawAlpha(TBackBuffer& dst, int image, const TRect& r, int frame, int alpha) const;
  // Frame at size w x h, its point (cx*w, cy*h) on (x, y), turned by angle
  // 256ths of a turn (clockwise on screen, as the dials turn).
  void DrawRotate(TBackBuffer& dst, int image, int x, int y, int w, int h, int frame,
                  double cx, double cy, int angle) const;

 private:
  std::vector<LibraryImage> images_;
};
