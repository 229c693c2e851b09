// The image-library reader on any bytes in place of a ".rxf" file.
#include <vector>

#include "FuzzFiles.h"
#include "ImageLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzInputFile(data, size, "Fuzz.rxf");
  std::vector<LibraryImage> images;
  std::string error;
  ReadImageLibrary(path, images, error);
  for (const LibraryImage& im : images)
    if (im.Pixels.size() != static_cast<size_t>(im.FrameWidth) * im.FrameHeight * im.FrameCount)
      __builtin_trap();
  return 0;
}
