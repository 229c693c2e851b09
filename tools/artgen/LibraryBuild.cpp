// Assembling library images from rasters.
#include "Art.h"

LibraryImage MakeImage(const std::string& name, const std::vector<Raster>& frames) {
  LibraryImage img;
  img.Name = name;
  img.FrameWidth = frames.empty() ? 0 : frames[0].W();
  img.FrameHeight = frames.empty() ? 0 : frames[0].H();
  img.FrameCount = static_cast<int>(frames.size());
  for (const Raster& f : frames) {
    const std::vector<uint32_t> px = f.ToArgb();
    img.Pixels.insert(img.Pixels.end(), px.begin(), px.end());
  }
  return img;
}
